#pragma once
// What the main trend draws for one channel: its raw trace through the envelope, or,
// for channels 5 and 6 while "Speed / Alt" is ticked, the stored altitude and speed.
#include "logger/session/logsession.h"
#include "logger/trend/trenddraw.h"

namespace session {

// Channel index i (0..11) over samples start..end of a picture of `scale` twips.
trend::TraceGeometry MainTrendTrace(LogSession& session, int channelIndex, qint32 start, qint32 end, double yScale,
                                    const trend::PictureScale& scale, double twipsPerPixel);

}  // namespace session
