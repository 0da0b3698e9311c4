#pragma once
// A few published AEAD records, transcribed with their source: NIST's CAVS
// GCM and CCM files (gcmEncryptExtIV*, gcmDecrypt128, VADT, VNT, VTT, DVPT)
// and BoringSSL's ChaCha20-Poly1305 file (its COUNT 1 is RFC 8439's example
// of section 2.8.2), as python3-cryptography-vectors ships them under
// ciphers/AES/GCM, ciphers/AES/CCM and ciphers/ChaCha20Poly1305. The CCM
// records are split into text and tag, their Adata cut to Alen bytes.

namespace aead_test {

enum class Family { aesGcm, aesCcm, twofishGcm, twofishCcm, chacha20Poly1305 };

struct PublishedRecord {
  const char* source;  // file:line of the record
  Family family;
  int keyBits;
  const char* key;
  const char* nonce;
  const char* aad;
  const char* plaintext;  // empty in records that must be refused
  const char* ciphertext;
  const char* tag;
  bool valid;  // false: a record whose tag must be refused
};

inline const PublishedRecord publishedRecords[] = {
    {"gcmEncryptExtIV128.rsp:5329", Family::aesGcm, 128,
     "1fd1e536a1c39c75fd583bc8e3372029",
     "281f2552f8c34fb9b3ec85aa",
     "bf12a140d86727f67b860bcf6f34e55f",
     "f801e0839619d2c1465f0245869360da",
     "35371f2779f4140dfdb1afe79d563ed9",
     "cc2b0b0f1f8b3db5dc1b41ce73f5c221",
     true},
    {"gcmEncryptExtIV128.rsp:33403", Family::aesGcm, 128,
     "9ec6291568ed97d6da3e7588da360aa7",
     "83",
     "29d34b9d57cbfcf0e23d8670844b79fb8f1e8920",
     "d322ca861c5363a2970ce2bdd7",
     "b196bb8d00a181f59d3847fb69",
     "886488b5",
     true},
    {"gcmEncryptExtIV128.rsp:65423", Family::aesGcm, 128,
     "78c4b6e6fb965444db436729756b0368",
     "f526d877603de6fc355414e589b9583fd3a1c931252e9f9af6b5146f9a25f14766b83223d9362ce6db527410"
     "22866ac02ac54372141f43ee72f0fa3824fa4f31a40980dcde259ee7edc4aeae6cc7a66c4b81311aa074677d"
     "4a340a8cdbb0a0c050cdb89ace8e92379133cd95178bd0e76d6a9cbac77fcffc91ca706de5e5db2a",
     "3fd34111e89a707dc02521a7aee59889911bafd47982a1ef71532692d1817d40a889b1844f071f23d0bda106"
     "5ca6881f0b2ea114d3bc824e5122d556829c31ca2b90190555982803da6d45a093bce75c0e64bf9d194ff846"
     "c266",
     "f4567257ab71ffa9286e39f92dbae7b04098d78727c46e01430330eab8e12914f7d660285b83e67b451e5b5b"
     "8205bc7a92d686",
     "a79601425199c4b33704ee8a8f6f8f041a581bdc271d3973aea25c8e857903bcef2ad2870987453269ddf33b"
     "8d155adc87ff45",
     "23b8bc8b5df99370cb5546f5d9b85a",
     true},
    {"gcmEncryptExtIV192.rsp:20559", Family::aesGcm, 192,
     "55b4ed5f76f6112026899ab072a6d7fb2153f24b6afaffee",
     "25d8191c31cb582084993bf8",
     "de460d2c77ad575eda81c8f406f4dc9672c21954c45db24a602c6266a268a7a6c8b1bf669f50893a031078a8"
     "23dd75ab",
     "2b435f2cfd398992a11630675fb8018641238b88bf83ff40f44b48e680f1283520dee0fcb8fc75507bbf7f26"
     "0d343f799c71fd",
     "2bce2c1f4f26a6086c4ef5a2f5c45cc80338651bcddee485b6ef69962d855fe8d3d8cc30a4ae92ddd2ca0f30"
     "43865e3bed2114",
     "4f601862d9583b52105c8980322a",
     true},
    {"gcmEncryptExtIV192.rsp:23607", Family::aesGcm, 192,
     "fc0e5cd7701ad87d81d1228a08601986b7c40fdd38d2725d",
     "34",
     "d66ca6b0c83b5c8fd587662c924ac80c",
     "",
     "",
     "f2b2c394cecd08e4",
     true},
    {"gcmEncryptExtIV256.rsp:57887", Family::aesGcm, 256,
     "0a06397b0308e90340412b91cbe7eae3285a09d0e670e25994496d53eda56f8f",
     "031b896b5ea0439cfa23da104864b7edd6e73cf0d07d5727d6dbbba492b81d329e9ad5abaee396c5d078067a"
     "4a66f4a51bcf07d9955d4bfc67e772d3d687b368aa54f5233cd27b5aa3899a9ce8718d35b0326b710a44f238"
     "7276d905a8dfe3b389a3cd31f9b75b0be985b2a3a2cf6b0788545fccc23bc9e778f2228bd703f530",
     "",
     "efd6441a0c79c7a42dafb06ac7839f88f2d94cbb9718033bf8ff1556f6c8d52c",
     "cc72e4afc403520abe95c89499ec133f3f9ebb5d103cbd52a12d051d84b842fb",
     "591b124b29710e9ce4ddb0bb",
     true},
    {"gcmEncryptExtIV256.rsp:12417", Family::aesGcm, 256,
     "f70bb950ab56f12f1efc2376d32a59d16ef3ef5969e0106ab40cc314c9b0c7e8",
     "3b3b29ba422c2bacafeeb8b3",
     "464ac0c84b9ff17a0e7c39a65f89682a89b8787553a6275f0d55effaabef2114072c739f9831a5d5a5133ae4"
     "de14eb51346b318b255a1bff57e50c433e1e69a00fe1a8b6f6b621d515d670d89e148f6b65d6eb4c54878cb8"
     "19ce",
     "029929277043dc0379f152a484",
     "c0b97d6d1a95d708d6dc7d2b95",
     "322eb4395bf4d4dd070b8f9f6195f8ee",
     true},
    {"gcmDecrypt128.rsp:48531", Family::aesGcm, 128,
     "22e428e942c98a1c4c890abda53b10a4",
     "10a8dd95ea3edd323b3b87b178476164b4ff80a64d626ac4a41b9d41d89bfd1115a07de81ac8f85148ab1eae"
     "55403a2a442dc4ed22ea243aa21ff531622ae5bd5eadc1a735460c1479b3207d764d1dd05402190a2779d915"
     "f9448ec345f1c05190597ccdc089c8628efdf044fab549e5f52ac80c09693d169c16980037dea084",
     "",
     "",
     "5cf3131fe70ced5e238bfea1a7c1f08c",
     "38f3d6f698a930c93e3f8ff71b778c8e",
     false},
    {"VADT128.rsp:1060", Family::aesCcm, 128,
     "f1908328edf2996ebfc9655472ca5ad0",
     "4c693364546930b6c5250e2699",
     "4a3634e5028df97fbe00eb016e8ea4f1918faa",
     "eede01b08f9a303cdf14c99d7a45732972c6eff2a1db06eb",
     "90c850790b0b380f5aeb2488fdf43c9d5ef1759861e86f6e",
     "52570e769629dcc2e568737ba53a1195",
     true},
    {"VNT128.rsp:14", Family::aesCcm, 128,
     "c0425ed20cd28fda67a2bcc0ab342a49",
     "37667f334dce90",
     "0b3e8d9785c74c8f41ea257d4d87495ffbbb335542b12e0d62bb177ec7a164d9",
     "4f065a23eeca6b18d118e1de4d7e5ca1a7c0e556d786d407",
     "768fccdf4898bca099e33c3d40565497dec22dd6e33dcf43",
     "84d71be8565c21a455db45816da8158c",
     true},
    {"VTT128.rsp:15", Family::aesCcm, 128,
     "43b1a6bc8d0d22d6d1ca95c18593cca5",
     "9882578e750b9682c6ca7f8f86",
     "2084f3861c9ad0ccee7c63a7e05aece5db8b34bd8724cc06b4ca99a7f9c4914f",
     "a2b381c7d1545c408fe29817a21dc435a154c87256346b05",
     "cc69ed76985e0ed4c8365a72775e5a19bfccc71aeb116c85",
     "a8c74677",
     true},
    {"VADT192.rsp:1060", Family::aesCcm, 192,
     "e0a29a2c7840cf9b41de49780b9ee92d646a4bfc5b9da74a",
     "fc9fd876b1edded09f70b18824",
     "36e15baafa0002efbb4bb26503b7e3b79f6c68",
     "344dc8b6bd66a1fbbe330a95af5dd2a8783dc264d6a9267d",
     "43b3b96aa5a54378f3bb573ffda3e154aa7f425fc3008175",
     "b60a77b9d38740356b544b1c0f259086",
     true},
    {"VADT256.rsp:1060", Family::aesCcm, 256,
     "0ebdc6ddb4c502725dd6ee8da95d56a0d1044b4694d6ba8475a4434f23a8474f",
     "fb717a8c82114477253acc14f6",
     "41e9d65632f74f449a6842d5e6c4a86ef83791",
     "c7360282c85484a5a33ab1c68dd70873ab4e74ffd4a62cd5",
     "2e961b3a2fa1609a4e6fd04bff6ac5e306ae2638706f997b",
     "42be2e2ba05c54b619850db5c9d684fe",
     true},
    {"VNT256.rsp:14", Family::aesCcm, 256,
     "553521a765ab0c3fd203654e9916330e189bdf951feee9b44b10da208fee7acf",
     "aaa23f101647d8",
     "a355d4c611812e5f9258d7188b3df8851477094ffc2af2cf0c8670db903fbbe0",
     "644eb34b9a126e437b5e015eea141ca1a88020f2d5d6cc2c",
     "27ed90668174ebf8241a3c74b35e1246b6617e4123578f15",
     "3bdb67062a13ef4e986f5bb3d0bb4307",
     true},
    {"DVPT256.rsp:1496", Family::aesCcm, 256,
     "314a202f836f9f257e22d8c11757832ae5131d357a72df88f3eff0ffcee0da4e",
     "a544218dadd3c10583db49cf39",
     "3c0e2815d37d844f7ac240ba9d6e3a0b2a86f706e885959e09a1005e024f6907",
     "e8de970f6ee8e80ede933581b5bcf4d837e2b72baa8b00c3",
     "8d34cdca37ce77be68f65baf3382e31efa693e63f914a781",
     "367f30f2eaad8c063ca50795acd90203",
     true},
    {"DVPT256.rsp:1503", Family::aesCcm, 256,
     "314a202f836f9f257e22d8c11757832ae5131d357a72df88f3eff0ffcee0da4e",
     "8fa501c5dd9ac9b868144c9fa5",
     "5bb40e3bb72b4509324a7edc852f72535f1f6283156e63f6959ffaf39dcde800",
     "",
     "516c0095cc3d85fd55e48da17c592e0c7014b9daafb82bdc",
     "4b41096dfdbe9cc1ab610f8f3e038d16",
     false},
    {"boringssl.txt:3", Family::chacha20Poly1305, 256,
     "808182838485868788898a8b8c8d8e8f909192939495969798999a9b9c9d9e9f",
     "070000004041424344454647",
     "50515253c0c1c2c3c4c5c6c7",
     "4c616469657320616e642047656e746c656d656e206f662074686520636c617373206f66202739393a204966"
     "204920636f756c64206f6666657220796f75206f6e6c79206f6e652074697020666f72207468652066757475"
     "72652c2073756e73637265656e20776f756c642062652069742e",
     "d31a8d34648e60db7b86afbc53ef7ec2a4aded51296e08fea9e2b5a736ee62d63dbea45e8ca9671282fafb69"
     "da92728b1a71de0a9e060b2905d6a5b67ecd3b3692ddbd7f2d778b8c9803aee328091b58fab324e4fad67594"
     "5585808b4831d7bc3ff4def08e4b7a9de576d26586cec64b6116",
     "1ae10b594f09e26a7e902ecbd0600691",
     true},
    {"boringssl.txt:12", Family::chacha20Poly1305, 256,
     "808182838485868788898a8b8c8d8e8f909192939495969798999a9b9c9d9e9f",
     "070000004041424344454647",
     "31",
     "31323334353637383961626364656630",
     "ae49da6934cb77822c83ed9852e46c9e",
     "dac9c841c168379dcf8f2bb8e22d6da2",
     true},
    {"boringssl.txt:48", Family::chacha20Poly1305, 256,
     "808182838485868788898a8b8c8d8e8f909192939495969798999a9b9c9d9e9f",
     "ffffffffffffffffffffffff",
     "31323334353637383961626364656630",
     "31323334353637383961626364656630",
     "e275aeb341e1fc9a70c4fd4496fc7cdb",
     "41acd0560ea6843d3e5d4e5babf6e946",
     true},
    {"boringssl.txt:56", Family::chacha20Poly1305, 256,
     "9a97f65b9b4c721b960a672145fca8d4e32e67f9111ea979ce9c4826806aeee6",
     "000000003de9c0da2bd7f91e",
     "",
     "",
     "",
     "5a6e21f4ba6dbee57380e79e79c30def",
     true},
};

}  // namespace aead_test
