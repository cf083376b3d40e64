// Stand-in process heap: malloc underneath, with a live-block registry (frees of
// unknown blocks abort; leaks are visible to tests) and injected allocation failures.
#include <cstdlib>
#include <set>

#include "standin/standin_control.h"
#include "standin/standin_internal.h"

namespace standin {
namespace {

struct HeapModel {
  std::set<void*> live;
  int attempts = 0;
  int failAt = 0;  // attempt number that fails; 0 = none
};
HeapModel heap;
char heapHandle;

bool NextAllocationFails() {
  ++heap.attempts;
  return heap.failAt != 0 && heap.attempts == heap.failAt;
}

void CheckCall(HANDLE h, DWORD flags, const char* what) {
  if (h != &heapHandle) Unexpected(what, "on a heap other than the process heap");
  if (flags != 0) Unexpected(what, "with flags");
}

}  // namespace

void ResetHeap() {
  // Blocks still live here were leaked by the code under test: LeakSanitizer
  // reports them; the registry itself starts over.
  heap.attempts = 0;
  heap.failAt = 0;
  heap.live.clear();
}

void FailAllocation(int n) { heap.failAt = n == 0 ? 0 : heap.attempts + n; }
int AllocationCount() { return heap.attempts; }
int LiveBlocks() { return static_cast<int>(heap.live.size()); }

}  // namespace standin

using standin::heap;

HANDLE WINAPI GetProcessHeap() { return &standin::heapHandle; }

LPVOID WINAPI HeapAlloc(HANDLE h, DWORD flags, std::size_t size) {
  standin::CheckCall(h, flags, "HeapAlloc");
  if (standin::NextAllocationFails()) return nullptr;
  void* p = std::malloc(size ? size : 1);
  if (!p) standin::Unexpected("HeapAlloc", "host out of memory");
  heap.live.insert(p);
  return p;
}

LPVOID WINAPI HeapReAlloc(HANDLE h, DWORD flags, LPVOID block, std::size_t size) {
  standin::CheckCall(h, flags, "HeapReAlloc");
  if (!heap.live.count(block)) standin::Unexpected("HeapReAlloc of a block not from this heap");
  if (standin::NextAllocationFails()) return nullptr;
  void* p = std::realloc(block, size ? size : 1);
  if (!p) standin::Unexpected("HeapReAlloc", "host out of memory");
  heap.live.erase(block);
  heap.live.insert(p);
  return p;
}

BOOL WINAPI HeapFree(HANDLE h, DWORD flags, LPVOID block) {
  standin::CheckCall(h, flags, "HeapFree");
  if (!block) return TRUE;
  if (!heap.live.erase(block)) standin::Unexpected("HeapFree of a block not from this heap");
  std::free(block);
  return TRUE;
}
