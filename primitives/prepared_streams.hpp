#pragma once
// Library objects a key prepares once and reuses for every call of one mode
// function (an OpenSSL cipher context keyed for CBC decryption, a Botan CFB
// mode object), so that a call sets the IV at most, never the key. A key
// type's copies share them.
//
// Sharing is safe from several threads. Each object belongs to the first
// thread that calls its mode function and serves that thread's calls one at
// a time; a call from another thread, or one made while the object is
// already in use (a nested call), runs on a fresh object of its own. So a
// key used by one thread at a time pays for a locked instruction once per
// object, not once per call, and a key used by several threads at once
// stays correct, its other threads preparing an object per call. A stream
// also remembers where the last call left it: a call that continues from
// exactly that IV (the next block of a stream cut into one call per block,
// as the Monte Carlo suites cut theirs) skips restarting it.

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
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

/// A number for the calling thread, never given to another thread.
inline std::uint64_t currentThreadNumber() noexcept {
  static std::atomic<std::uint64_t> next{1};
  thread_local const std::uint64_t number = next.fetch_add(1, std::memory_order_relaxed);
  return number;
}

/// One prepared stream per mode function.
template <class Object, std::size_t BlockBytes = 16>
class PreparedStreams {
 public:
  using Stream = PreparedStream<Object, BlockBytes>;

  /// Runs use(Stream&) on the stream of `mode` in `direction`, made by
  /// make() (an Object) on first use; on a fresh one when that stream
  /// belongs to another thread or is in use. `use` calls resumeAt first,
  /// and stoppedAt when it leaves the object at a block boundary; if it
  /// throws, the stream is restarted next time.
  template <class Make, class Use>
  void lend(Mode mode, Direction direction, Make&& make, Use&& use) const {
    Slot& slot = slots_[modeFunctionIndex(mode, direction)];
    if (!slot.claimedBy(currentThreadNumber()) || slot.inUse) {
      Stream fresh{make()};
      use(fresh);
      return;
    }
    // Only the owning thread reaches here: inUse and stream are its alone.
    slot.inUse = true;
    const Release release{slot.inUse};
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
    std::atomic<std::uint64_t> owner{0};  // the owning thread's number, 0 before
    bool inUse = false;
    std::optional<Stream> stream;

    /// Whether the slot belongs to `thread`, claiming it when it is free.
    bool claimedBy(std::uint64_t thread) noexcept {
      std::uint64_t current = owner.load(std::memory_order_acquire);
      if (current == 0 && owner.compare_exchange_strong(current, thread, std::memory_order_acq_rel))
        return true;
      return current == thread;
    }
  };
  struct Release {
    bool& inUse;
    ~Release() { inUse = false; }
  };

  mutable std::array<Slot, modeFunctionCount> slots_{};
};

}  // namespace quillon::bindings
