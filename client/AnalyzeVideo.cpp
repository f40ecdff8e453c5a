#include "AnalyzeVideo.h"

AnalyzeVideo::AnalyzeVideo(bool createSuspended)
{
    if (!createSuspended)
        start();
}
