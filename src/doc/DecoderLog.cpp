#include "doc/DecoderLog.h"

extern "C" {
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace tonmira {

void QuietDecoderLog() { av_log_set_level(AV_LOG_QUIET); }

void LimitDecoderAllocations() { av_max_alloc(256u << 20); }

}  // namespace tonmira
