#include "device/mapi_memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace brevalo {
namespace {

constexpr uint32_t kFirstMark = 0x4D415042;    // "BPAM": a first buffer
constexpr uint32_t kChainedMark = 0x4D41504D;  // "MPAM": chained to a first buffer
constexpr uint32_t kFreedMark = 0x44454546;    // left behind, so a second free is refused

struct alignas(std::max_align_t) BlockHeader {
  uint32_t mark;
  BlockHeader* first;  // the first buffer of the chain (itself for a first buffer)
  BlockHeader* next;   // the next chained buffer, starting from the first
};
static_assert(sizeof(BlockHeader) % alignof(std::max_align_t) == 0,
              "the caller's part must keep the allocator's alignment");

BlockHeader* HeaderOf(void* buffer) {
  return reinterpret_cast<BlockHeader*>(static_cast<unsigned char*>(buffer) -
                                        sizeof(BlockHeader));
}

void* BufferOf(BlockHeader* header) {
  return reinterpret_cast<unsigned char*>(header) + sizeof(BlockHeader);
}

BlockHeader* NewBlock(ULONG size, uint32_t mark) {
  void* raw = std::malloc(sizeof(BlockHeader) + size);
  if (raw == nullptr) return nullptr;
  auto* header = new (raw) BlockHeader{mark, nullptr, nullptr};
  // Callers write strings and structures into it; zeroed memory keeps a short write harmless.
  std::memset(BufferOf(header), 0, size);
  return header;
}

}  // namespace

SCODE MAPIAllocateBuffer(ULONG size, void** buffer) {
  if (buffer == nullptr) return MAPI_E_INVALID_PARAMETER;
  *buffer = nullptr;
  BlockHeader* header = NewBlock(size, kFirstMark);
  if (header == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
  header->first = header;
  *buffer = BufferOf(header);
  return S_OK;
}

SCODE MAPIAllocateMore(ULONG size, void* parent, void** buffer) {
  if (buffer == nullptr) return MAPI_E_INVALID_PARAMETER;
  *buffer = nullptr;
  if (parent == nullptr) return MAPI_E_INVALID_PARAMETER;
  BlockHeader* parentHeader = HeaderOf(parent);
  if (parentHeader->mark != kFirstMark && parentHeader->mark != kChainedMark) {
    return MAPI_E_INVALID_PARAMETER;
  }
  BlockHeader* first = parentHeader->first;
  BlockHeader* header = NewBlock(size, kChainedMark);
  if (header == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
  header->first = first;
  header->next = first->next;
  first->next = header;
  *buffer = BufferOf(header);
  return S_OK;
}

ULONG MAPIFreeBuffer(void* buffer) {
  if (buffer == nullptr) return S_OK;
  BlockHeader* header = HeaderOf(buffer);
  if (header->mark != kFirstMark) return static_cast<ULONG>(MAPI_E_INVALID_PARAMETER);
  BlockHeader* chained = header->next;
  while (chained != nullptr) {
    BlockHeader* next = chained->next;
    chained->mark = kFreedMark;
    std::free(chained);
    chained = next;
  }
  header->mark = kFreedMark;
  std::free(header);
  return S_OK;
}

void FreeProws(SRowSet* rows) {
  if (rows == nullptr) return;
  for (ULONG i = 0; i < rows->cRows; ++i) MAPIFreeBuffer(rows->aRow[i].lpProps);
  MAPIFreeBuffer(rows);
}

}  // namespace brevalo
