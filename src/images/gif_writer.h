// Animated GIF files of the display, shared by the runner's "gif" command and the window's
// File > Record GIF. The display is sampled at a steady rate of the instrument's time; a sample
// equal to the frame before it only lengthens that frame, and a changed one is stored as the
// rectangle that changed, over the frame before. The palette is the instrument's own, so a
// decoded frame has exactly the display's indices. The file loops.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

struct GifFileType;
class FileReplacement;

class GifWriter {
public:
    static constexpr unsigned kDefaultFps = 10;
    static constexpr unsigned kMaxFps = 50;  // viewers hold delays under 2/100 s longer

    GifWriter();
    ~GifWriter();  // an open file is closed as by close()
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    // Starts the file (header, palette, looping) at the instrument's time startMs; the first
    // sample is due then. False with the reason when the file cannot be created or written.
    bool open(const std::string& path, unsigned fps, uint64_t startMs, std::string& error);
    bool isOpen() const { return file != nullptr; }
    const std::string& path() const { return filePath; }

    // True when a sample is due at the instrument's time ms (the next 1/fps step has come).
    bool due(uint64_t ms) const { return file && ms >= nextSampleMs; }
    // Takes the display (480 x 272 indices) as it stands at ms when a sample is due; otherwise
    // does nothing. A frame is written once the next different one (or the end) fixes its delay.
    void sample(const uint8_t* pixels, uint64_t ms);

    // Ends the file: the last frame lasts until endMs. False with the reason when any part of the
    // file could not be written (the file is closed either way).
    bool close(uint64_t endMs, std::string& error);

    // Frames stored so far (a frame written more than once for a very long delay counts once).
    uint64_t framesWritten() const { return frames; }

private:
    void writePending(uint64_t untilMs);
    void writeImage(int left, int top, int width, int height, unsigned delayCs);
    void fail(int code);

    GifFileType* file = nullptr;
    std::unique_ptr<FileReplacement> output;  // the file, in place only once it is whole
    std::string filePath;
    std::string failure;  // the first write error, empty while all is well
    std::unique_ptr<uint8_t[]> canvas;  // the pending frame's pixels (allocated once)
    bool pending = false;
    int rectLeft = 0, rectTop = 0, rectRight = 0, rectBottom = 0;  // its changed rectangle, exclusive
    uint64_t startMs = 0;
    uint64_t pendingMs = 0;  // when the pending frame appeared
    uint64_t writtenCs = 0;  // centiseconds of delay written so far, from startMs
    unsigned fps = kDefaultFps;
    uint64_t samples = 0;  // samples taken, the next due at startMs + samples * 1000 / fps
    uint64_t nextSampleMs = 0;
    uint64_t frames = 0;
};
