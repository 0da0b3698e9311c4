#pragma once
// Library objects a key prepares once and reuses for every call of one mode
// function (an OpenSSL cipher context keyed for CBC decryption, a Botan CFB
// mode object), so that a call sets the IV at most, never the key. A key
// type's copies share them.
//
// Sharing is safe from several threads: each object is lent to one call at a
// time, and a call that finds it lent (to another thread, through this key
// or a copy of it) runs on a fresh object of its own instead. A stream also
// remembers where the last call left it: a call that continues from exactly
// that IV (the next block of a stream cut into one call per block, as the
// Monte Carlo suites cut theirs) skips restarting it.

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <optional>

#include <quillon/byte_string.hpp>
#include <quillon/mode_names.hpp>

namespace quillon::bindings {

/// A prepared library object and where its stream stands.
template <class Object, std::size_t BlockBytes>
struct PreparedStream {
  Object object;
  /// The IV the last call returned, when the object stands exactly there:
  /// at the start of a block, with nothing of the stream buffered.
  std::array<Byte, BlockBytes> next{};
  bool resumable = false;

  /// Begins a call from `iv` (empty for ECB): true when the object already
  /// stands there, false when the caller must restart it at `iv`. Until
  /// stoppedAt, the stream no longer counts as resumable.
  [[nodiscard]] bool resumeAt(ByteView iv) noexcept {
    const bool standsThere = resumable && std::equal(iv.begin(), iv.end(), next.begin());
    resumable = false;
    return standsThere;
  }
  /// After a call that left the object at the start of the block of
  /// `ivOut` (null for ECB).
  void stoppedAt(const Byte* ivOut) noexcept {
    if (ivOut != nullptr) std::copy(ivOut, ivOut + BlockBytes, next.begin());
    resumable = true;
  }
};

/// One prepared stream per mode function.
template <class Object, std::size_t BlockBytes = 16>
class PreparedStreams {
 public:
  using Stream = PreparedStream<Object, BlockBytes>;

  /// Runs use(Stream&) on the stream of `mode` in `direction`, made by
  /// make() (an Object) on first use; on a fresh one when that stream is
  /// lent out. `use` calls resumeAt first, and stoppedAt when it leaves the
  /// object at a block boundary; if it throws, the stream is restarted next
  /// time.
  template <class Make, class Use>
  void lend(Mode mode, Direction direction, Make&& make, Use&& use) const {
    Slot& slot = slots_[modeFunctionIndex(mode, direction)];
    if (slot.busy.exchange(true, std::memory_order_acquire)) {
      Stream fresh{make()};
      use(fresh);
      return;
    }
    const Release release{slot.busy};
    if (!slot.stream) slot.stream.emplace(Stream{make()});
    Stream& stream = *slot.stream;
    try {
      use(stream);
    } catch (...) {
      stream.resumable = false;
      throw;
    }
  }

 private:
  struct Slot {
    std::atomic<bool> busy{false};
    std::optional<Stream> stream;
  };
  struct Release {
    std::atomic<bool>& busy;
    ~Release() { busy.store(false, std::memory_order_release); }
  };

  mutable std::array<Slot, modeFunctionCount> slots_{};
};

}  // namespace quillon::bindings
