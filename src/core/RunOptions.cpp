#include "core/RunOptions.h"

ORunOptions& GetRunOptions() {
  static ORunOptions options;
  return options;
}
