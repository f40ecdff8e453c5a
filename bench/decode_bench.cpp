// Bare decode loop through the same video library calls as the analyzer's main pass: the rate the
// analyzer is measured against.
#include <opencv2/core/mat.hpp>
#include <opencv2/videoio.hpp>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: decode_bench video\n");
        return 2;
    }
    cv::VideoCapture capture;
    if (!capture.open(argv[1])) {
        std::fprintf(stderr, "Cannot open %s\n", argv[1]);
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    cv::Mat frame;
    long frames = 0;
    while (capture.read(frame))
        ++frames;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("frames=%ld seconds=%.3f fps=%.1f\n", frames, seconds, frames / seconds);
    return 0;
}
