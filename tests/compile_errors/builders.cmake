# Every public builder over a user's type, called with a type that misses a
# member. @KEY@, @DIGEST@ and @AEAD@ stand for a fresh key type without
# decryptBlock, digest type without encode and AEAD type without open
# (deficient_types.hpp); SoundKey, SoundDigest and SoundAead fill the other
# slot of a differential builder. Each call must make the compiler print the
# kit's message for its type as its first error, and nothing else.
# check_builders.cmake fails when a public header declares a builder that
# no row calls. A row whose builder no public header declares yet (the AEAD
# suites) is skipped, and the test says so.

set(QUILLON_MISSING_MEMBER_MESSAGES
  "KEY|quillon::BlockCipher: the key type needs `quillon::ByteString decryptBlock(quillon::ByteView) const`"
  "DIGEST|quillon::Hash: the digest type needs `quillon::ByteString encode() const`"
  "AEAD|quillon::Aead: the key type needs `std::optional<quillon::ByteString> open(")

set(QUILLON_BUILDER_CALLS
  "makeHashPropTests<@DIGEST@>()" "makeHashPropTests(@DIGEST@{})"
  "makeMD5Tests<@DIGEST@>()" "makeMD5Tests(@DIGEST@{})"
  "makeHashDifferentialTests<@DIGEST@, SoundDigest>()" "makeHashDifferentialTests<SoundDigest, @DIGEST@>()"
  "makeHashDifferentialTests(@DIGEST@{}, SoundDigest{})" "makeHashDifferentialTests(SoundDigest{}, @DIGEST@{})"
  "makeBlockCipherPropTests<@KEY@>()" "makeBlockCipherPropTests(@KEY@{})"
  "makeModeConsistencyTests<@KEY@>()" "makeModeConsistencyTests(@KEY@{})"
  "makeCMACPropTests<@KEY@>()" "makeCMACPropTests(@KEY@{})"
  "makeBlockCipherDifferentialTests<@KEY@, SoundKey>()" "makeBlockCipherDifferentialTests<SoundKey, @KEY@>()"
  "makeBlockCipherDifferentialTests(@KEY@{}, SoundKey{})" "makeBlockCipherDifferentialTests(SoundKey{}, @KEY@{})"
  "makeAeadPropTests<@AEAD@>()" "makeAeadPropTests(@AEAD@{})"
  "makeAeadDifferentialTests<@AEAD@, SoundAead>()" "makeAeadDifferentialTests<SoundAead, @AEAD@>()"
  "makeAeadDifferentialTests(@AEAD@{}, SoundAead{})" "makeAeadDifferentialTests(SoundAead{}, @AEAD@{})"
  "makeGCMTests<@AEAD@>()" "makeCCMTests<@AEAD@>()" "makeChaCha20Poly1305Tests<@AEAD@>()"
  "makeGCMTests(@AEAD@{})" "makeCCMTests(@AEAD@{})" "makeChaCha20Poly1305Tests(@AEAD@{})"
  "diagnoseGCMVectors<@AEAD@>()" "diagnoseCCMVectors<@AEAD@>()" "diagnoseChaCha20Poly1305Vectors<@AEAD@>()")
foreach(_suite IN ITEMS AES TwoFish AESCTR AESMonte CMAC TwoFishCMAC)
  list(APPEND QUILLON_BUILDER_CALLS
    "make${_suite}Tests<@KEY@>()" "make${_suite}Tests(@KEY@{})" "diagnose${_suite}Vectors<@KEY@>()")
endforeach()
foreach(_variant IN ITEMS SHA1 SHA224 SHA256 SHA384 SHA512 SHA512_224 SHA512_256
                          SHA3_224 SHA3_256 SHA3_384 SHA3_512)
  list(APPEND QUILLON_BUILDER_CALLS
    "make${_variant}Tests<@DIGEST@>()" "make${_variant}Tests(@DIGEST@{})"
    "make${_variant}MonteTests<@DIGEST@>()" "make${_variant}MonteTests(@DIGEST@{})")
endforeach()
foreach(_variant IN ITEMS SHA1 SHA224 SHA256 SHA384 SHA512)
  list(APPEND QUILLON_BUILDER_CALLS "make${_variant}HMACTests<@DIGEST@>()" "make${_variant}HMACTests(@DIGEST@{})")
endforeach()
foreach(_suite IN ITEMS AES TwoFish)
  list(APPEND QUILLON_BUILDER_CALLS "makeAll${_suite}Tests<@KEY@>()" "makeAll${_suite}Tests(@KEY@{})")
endforeach()
foreach(_variant IN ITEMS MD5 SHA1 SHA224 SHA256 SHA384 SHA512 SHA512_224 SHA512_256
                          SHA3_224 SHA3_256 SHA3_384 SHA3_512)
  list(APPEND QUILLON_BUILDER_CALLS "makeAll${_variant}Tests<@DIGEST@>()" "makeAll${_variant}Tests(@DIGEST@{})")
endforeach()
