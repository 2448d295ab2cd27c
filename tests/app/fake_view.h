// The tests' window: the memory view with its log of writes kept.
#pragma once

#include "app/memory_view.h"

namespace kurvana::testing {

struct FakeView : MemoryView {
  FakeView() { keepLog = true; }
};

}  // namespace kurvana::testing
