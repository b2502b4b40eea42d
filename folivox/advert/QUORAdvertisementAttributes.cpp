#include "advert/QUORAdvertisementAttributes.h"

#include "base/ImplementationTable.h"

#include <layra/IPMStream.h>

#include <new>
#include <optional>

namespace {

folivox::RegisterImplementation<QUORAdvertisementAttributes>
    gAdvertisementAttributesImpl(kQUORAdvertisementAttributesImpl, true);

// A command over many items takes a snapshot of each, and undo one more; dropping the
// history frees them all again. Their blocks are all of one size, so freed ones are kept
// for the next snapshots instead of going through the general allocator each time.
// Snapshots are made and dropped on the host's main thread only.
template <class T> class RecyclingAllocator {
public:
  using value_type = T;

  RecyclingAllocator() = default;
  template <class U> RecyclingAllocator(const RecyclingAllocator<U>&) {}

  T* allocate(std::size_t n) {
    FreeList& list = Free();
    if (n != 1 || !list.head)
      return static_cast<T*>(::operator new(n * sizeof(T)));
    Block* block = list.head;
    list.head = block->next;
    --list.count;
    return reinterpret_cast<T*>(block);
  }

  void deallocate(T* object, std::size_t n) {
    FreeList& list = Free();
    if (n != 1 || list.count == kKept) {
      ::operator delete(object);
      return;
    }
    list.head = ::new (static_cast<void*>(object)) Block{list.head};
    ++list.count;
  }

  template <class U>
  friend bool operator==(const RecyclingAllocator&, const RecyclingAllocator<U>&) {
    return true;
  }

private:
  struct Block {
    Block* next;
  };
  static_assert(sizeof(T) >= sizeof(Block) && alignof(T) >= alignof(Block));
  struct FreeList {
    Block* head = nullptr;
    std::size_t count = 0;

    FreeList() = default;
    FreeList(const FreeList&) = delete;
    FreeList& operator=(const FreeList&) = delete;
    ~FreeList() {
      while (head) {
        Block* block = head;
        head = block->next;
        ::operator delete(block);
      }
    }
  };
  static constexpr std::size_t kKept = 4096;

  static FreeList& Free() {
    static FreeList list;
    return list;
  }
};

constexpr layra::SnapshotParts kTextPart = 1;
constexpr layra::SnapshotParts kValuesPart = 2;

struct Snapshot {
  layra::SnapshotParts parts;
  PMString text;
  // Held only when the values are part of it: even an empty dictionary takes an allocation,
  // and applying a text to many items snapshots only their texts.
  std::optional<KDictionary> values;
};

} // namespace

void QUORAdvertisementAttributes::SetAttributeText(const PMString& text) {
  PreDirty(kTextPart);
  fText = text;
}

void QUORAdvertisementAttributes::SetValue(const PMString& key, const PMString& value) {
  PreDirty(kValuesPart);
  fValues.Set(key, value);
}

std::shared_ptr<const void> QUORAdvertisementAttributes::TakeSnapshot(layra::SnapshotParts parts,
                                                                      std::size_t& bytes) const {
  Snapshot snapshot{parts, {}, std::nullopt};
  bytes = sizeof(Snapshot);
  if (parts & kTextPart) {
    snapshot.text = fText;
    bytes += fText.GetUTF8String().capacity();
  }
  if (parts & kValuesPart) {
    snapshot.values = fValues;
    bytes += fValues.Bytes();
  }
  return std::allocate_shared<const Snapshot>(RecyclingAllocator<Snapshot>(), std::move(snapshot));
}

void QUORAdvertisementAttributes::RestoreSnapshot(const std::shared_ptr<const void>& snapshot) {
  const auto& state = *static_cast<const Snapshot*>(snapshot.get());
  if (state.parts & kTextPart)
    fText = state.text;
  if (state.values)
    fValues = *state.values;
}

void QUORAdvertisementAttributes::ReadWrite(IPMStream* stream, ImplementationID) {
  std::int32_t marker = 1;
  stream->XferInt32(marker);
  fText.ReadWrite(stream);
  fValues.ReadWrite(stream);
}
