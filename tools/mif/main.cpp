// corvex-mif: converts a PNG or JPEG picture (up to 480 x 272) into the instrument's MIF format,
// or a MIF picture back into a palette PNG. The direction follows the file names' endings.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "display/framebuffer.h"
#include "display/image.h"
#include "mif_encoder.h"
#include "palette_match.h"
#include "picture_io.h"
#include "images/png_io.h"
#include "storage/storage.h"

namespace fs = std::filesystem;

namespace {

const char* const kUsage =
    "usage: corvex-mif [--dither] INPUT OUTPUT\n"
    "  INPUT.png, .jpg or .jpeg -> OUTPUT.mif   picture to the instrument's MIF format (at most\n"
    "                                          480 x 272 pixels), each pixel the nearest colour of\n"
    "                                          the instrument's palette; --dither spreads the\n"
    "                                          difference (Floyd-Steinberg), for photographs\n"
    "  INPUT.mif -> OUTPUT.png                  MIF picture to a palette PNG\n"
    "A palette PNG that already uses the instrument's palette keeps its indices.\n";

struct Failure {
    std::string message;
};

std::string lowerExtension(const std::string& path)
{
    std::string ext = fs::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

void pictureToMif(const std::string& input, const std::string& output, bool dither)
{
    Picture picture;
    std::string error;
    const std::string ext = lowerExtension(input);
    const bool read = ext == ".png" ? readPng(input, MAX_IMAGE_WIDTH, MAX_IMAGE_HEIGHT, picture, error)
                                    : readJpeg(input, MAX_IMAGE_WIDTH, MAX_IMAGE_HEIGHT, picture, error);
    if (!read) throw Failure{error};
    const std::vector<uint8_t> indices =
        picture.indices.empty() ? matchToPalette(picture.rgb, picture.width, picture.height, dither) : picture.indices;
    const std::vector<uint8_t> mif = encodeMif(indices.data(), picture.width, picture.height);

    // Renamed over the output only when complete: a failure never leaves a half-written output.
    if (!replaceFile(output.c_str(), nullptr, mif.data(), mif.size()))
        throw Failure{output + ": cannot write: " + std::strerror(errno)};
}

void mifToPng(const std::string& input, const std::string& output)
{
    std::FILE* file = openPlainFile(input.c_str());
    if (!file) throw Failure{input + ": cannot open: " + std::strerror(errno)};
    uint8_t header[4] = {};
    const size_t got = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    const int width = header[0] | (header[1] << 8), height = header[2] | (header[3] << 8);
    if (got != sizeof header) throw Failure{input + ": not a MIF picture (shorter than its header)"};
    if (width == 0 || height == 0 || width > MAX_IMAGE_WIDTH || height > MAX_IMAGE_HEIGHT)
        throw Failure{input + ": not a MIF picture the instrument shows (header says " + std::to_string(width) +
                      " x " + std::to_string(height) + "; the display takes 1..480 x 1..272)"};

    // The instrument's own decoder, into its background buffer.
    clearBackground();
    switch (loadImageFile(0, 0, input.c_str())) {
    case ImageStatus::Complete:
        break;
    case ImageStatus::Truncated:
        throw Failure{input + ": the picture data ends before its last row (file cut short?)"};
    default:
        throw Failure{input + ": cannot read"};
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        std::copy_n(backgroundBuffer + y * SCREEN_WIDTH, width, pixels.begin() + static_cast<ptrdiff_t>(y) * width);

    if (!writeIndexedPng(output, pixels.data(), width, height))
        throw Failure{output + ": cannot write: " + std::strerror(errno)};
}

}  // namespace

int main(int argc, char** argv)
{
    bool dither = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dither") {
            dither = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "corvex-mif: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& input = files[0];
    const std::string& output = files[1];
    const std::string in = lowerExtension(input), out = lowerExtension(output);
    const bool toMif = (in == ".png" || in == ".jpg" || in == ".jpeg") && out == ".mif";
    const bool toPng = in == ".mif" && out == ".png";
    if (!toMif && !toPng) {
        std::fprintf(stderr, "corvex-mif: cannot convert %s to %s: give a .png, .jpg or .jpeg picture and a .mif "
                             "output, or a .mif picture and a .png output\n",
                     input.c_str(), output.c_str());
        return 2;
    }
    if (toPng && dither) std::fprintf(stderr, "corvex-mif: --dither has no effect on a .mif input\n");
    try {
        if (toMif)
            pictureToMif(input, output, dither);
        else
            mifToPng(input, output);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "corvex-mif: %s\n", failure.message.c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "corvex-mif: %s\n", e.what());
        return 1;
    }
    return 0;
}
