// giflib's encoder, driven one frame at a time: a frame's delay goes before its pixels, so the
// latest different sample waits (as the changed rectangle of the one canvas) until the next one
// or the end says how long it was shown.
#include "images/gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "display/framebuffer.h"
#include "storage/storage.h"

namespace {

constexpr unsigned kMaxDelayCs = 65535;  // a frame's delay is a 16-bit count of 1/100 s

}  // namespace

GifWriter::GifWriter() = default;

GifWriter::~GifWriter()
{
    std::string ignored;
    if (file) close(pendingMs, ignored);
}

void GifWriter::fail(int code)
{
    // A failed write or close says why in errno (a full disk, say), clearer than giflib's words.
    const bool system =
        (code == E_GIF_ERR_WRITE_FAILED || code == E_GIF_ERR_CLOSE_FAILED || code == E_GIF_ERR_DISK_IS_FULL) && errno != 0;
    if (failure.empty()) failure = "cannot write " + filePath + ": " + (system ? std::strerror(errno) : GifErrorString(code));
}

bool GifWriter::open(const std::string& path, unsigned framesPerSecond, uint64_t atMs, std::string& error)
{
    std::string ignored;
    if (file) close(pendingMs, ignored);
    filePath = path;
    failure.clear();
    // Written beside the old file and renamed over it when the animation ends whole; a pipe,
    // device or folder of the name is refused rather than waited on.
    if (!output) output = std::make_unique<FileReplacement>();
    std::FILE* stream = output->begin(path.c_str());
    if (!stream) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    int code = 0;
    file = EGifOpen(stream, [](GifFileType* gif, const GifByteType* data, int length) {
        return static_cast<int>(std::fwrite(data, 1, static_cast<size_t>(length), static_cast<std::FILE*>(gif->UserData)));
    }, &code);
    if (!file) {
        (void)output->finish(false);
        error = "cannot write " + path + ": " + GifErrorString(code);
        return false;
    }
    if (!canvas) canvas = std::make_unique<uint8_t[]>(FRAMEBUFFER_SIZE);
    fps = std::clamp(framesPerSecond, 1u, kMaxFps);
    startMs = pendingMs = nextSampleMs = atMs;
    samples = writtenCs = frames = 0;
    pending = false;

    EGifSetGifVersion(file, true);
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = {static_cast<GifByteType>(palette[i] >> 16), static_cast<GifByteType>(palette[i] >> 8),
                      static_cast<GifByteType>(palette[i])};
    ColorMapObject* map = GifMakeMapObject(256, colours);
    const bool header = map && EGifPutScreenDesc(file, SCREEN_WIDTH, SCREEN_HEIGHT, 8, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    // The looping extension: repeat for ever.
    static const GifByteType kLoop[3] = {1, 0, 0};
    if (!header || EGifPutExtensionLeader(file, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(file, 11, "NETSCAPE2.0") == GIF_ERROR ||
        EGifPutExtensionBlock(file, sizeof kLoop, kLoop) == GIF_ERROR || EGifPutExtensionTrailer(file) == GIF_ERROR) {
        fail(file->Error);
        close(atMs, error);
        return false;
    }
    return true;
}

void GifWriter::sample(const uint8_t* pixels, uint64_t ms)
{
    if (!due(ms)) return;
    while (nextSampleMs <= ms) nextSampleMs = startMs + ++samples * 1000 / fps;
    if (!failure.empty()) return;
    if (!pending) {
        std::memcpy(canvas.get(), pixels, FRAMEBUFFER_SIZE);
        rectLeft = rectTop = 0;
        rectRight = SCREEN_WIDTH;
        rectBottom = SCREEN_HEIGHT;
        pending = true;
        pendingMs = ms;
        return;
    }
    // The rows, then the columns within them, that differ from the pending frame.
    const auto row = [](const uint8_t* image, int y) { return image + size_t(y) * SCREEN_WIDTH; };
    int top = 0, bottom = SCREEN_HEIGHT;
    while (top < bottom && std::memcmp(row(pixels, top), row(canvas.get(), top), SCREEN_WIDTH) == 0) ++top;
    if (top == bottom) return;  // unchanged: the pending frame lasts longer
    while (std::memcmp(row(pixels, bottom - 1), row(canvas.get(), bottom - 1), SCREEN_WIDTH) == 0) --bottom;
    int left = SCREEN_WIDTH, right = 0;
    for (int y = top; y < bottom; ++y) {
        const uint8_t* now = row(pixels, y);
        const uint8_t* was = row(canvas.get(), y);
        int x = 0;
        while (x < left && now[x] == was[x]) ++x;
        left = x;
        x = SCREEN_WIDTH;
        while (x > right && now[x - 1] == was[x - 1]) --x;
        right = x;
    }
    writePending(ms);
    for (int y = top; y < bottom; ++y) std::memcpy(canvas.get() + size_t(y) * SCREEN_WIDTH + left, row(pixels, y) + left, right - left);
    rectLeft = left;
    rectTop = top;
    rectRight = right;
    rectBottom = bottom;
    pendingMs = ms;
}

void GifWriter::writePending(uint64_t untilMs)
{
    // Delays count from the start, rounded to 1/100 s there, so their sum keeps the
    // instrument's time however many frames there are; a frame is shown at least 1/100 s.
    const uint64_t untilCs = (untilMs - startMs + 5) / 10;
    uint64_t delay = untilCs > writtenCs ? untilCs - writtenCs : 1;
    writtenCs += delay;
    ++frames;
    const unsigned first = static_cast<unsigned>(std::min<uint64_t>(delay, kMaxDelayCs));
    writeImage(rectLeft, rectTop, rectRight - rectLeft, rectBottom - rectTop, first);
    // A longer showing goes on as one unchanged pixel.
    for (delay -= first; delay > 0 && failure.empty();) {
        const unsigned part = static_cast<unsigned>(std::min<uint64_t>(delay, kMaxDelayCs));
        writeImage(0, 0, 1, 1, part);
        delay -= part;
    }
}

void GifWriter::writeImage(int left, int top, int width, int height, unsigned delayCs)
{
    if (!failure.empty()) return;
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;  // the next frame is drawn over this one
    control.UserInputFlag = false;
    control.DelayTime = static_cast<int>(delayCs);
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    errno = 0;
    const size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_ERROR ||
        EGifPutImageDesc(file, left, top, width, height, false, nullptr) == GIF_ERROR)
        return fail(file->Error);
    for (int y = top; y < top + height; ++y)
        if (EGifPutLine(file, canvas.get() + size_t(y) * SCREEN_WIDTH + left, width) == GIF_ERROR)
            return fail(file->Error);
}

bool GifWriter::close(uint64_t endMs, std::string& error)
{
    if (!file) {
        error = "no GIF is being written";
        return false;
    }
    if (pending) writePending(std::max(endMs, pendingMs));
    pending = false;
    int code = 0;
    errno = 0;
    if (EGifCloseFile(file, &code) == GIF_ERROR) fail(code);
    file = nullptr;
    if (!output->finish(failure.empty()) && failure.empty())
        failure = "cannot write " + filePath + ": " + std::strerror(errno);
    error = failure;
    return failure.empty();
}
