// The runner's picture files in the web edition, which has neither libpng nor giflib: a screenshot
// is kept as its name and the hash of its pixels (what the page's script interface hands back,
// and what a test compares with corvex-ems-run's pictures); animated GIFs are not written. The
// page saves the display as a PNG through the browser instead.
#include <string>

#include "images/gif_writer.h"
#include "images/png_io.h"
#include "scenario/scenario.h"
#include "storage/storage.h"
#include "web/web_shots.h"

namespace {
std::string shotLog;
}

std::string takeScreenshotLog()
{
    std::string log;
    log.swap(shotLog);
    return log;
}

// The runner hands over the display itself; its hash is the one "expect screen" compares.
bool writeIndexedPng(const std::string& path, const uint8_t*, int, int)
{
    shotLog += path + ' ' + screenHashText() + '\n';
    return true;
}

bool readIndexedPng(const std::string& path, IndexedImage&, std::string& error)
{
    error = "cannot read " + path + ": pictures are not read in the web edition";
    return false;
}

bool writeRgbPng(const std::string&, const std::vector<uint8_t>&, int, int) { return false; }

GifWriter::GifWriter() = default;
GifWriter::~GifWriter() = default;

bool GifWriter::open(const std::string& path, unsigned, uint64_t, std::string& error)
{
    error = "cannot write " + path + ": animated GIFs are not written in the web edition";
    return false;
}

void GifWriter::sample(const uint8_t*, uint64_t) {}

bool GifWriter::close(uint64_t, std::string&) { return true; }
