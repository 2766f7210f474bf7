#include "doc/DecoderLog.h"

extern "C" {
#include <libavutil/log.h>
}

namespace tonmira {

void QuietDecoderLog() { av_log_set_level(AV_LOG_QUIET); }

}  // namespace tonmira
