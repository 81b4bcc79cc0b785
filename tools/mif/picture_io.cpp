// libpng and libjpeg readers for corvex-mif: any PNG (palette, grey, 16-bit, alpha) or baseline /
// progressive JPEG to 8-bit RGB, errors turned into messages.
#include "picture_io.h"

#include <jpeglib.h>
#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include "display/framebuffer.h"
#include "storage/storage.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openInput(const std::string& path, std::string& error)
{
    File file(openPlainFile(path.c_str()));
    if (!file) error = path + ": cannot open: " + std::strerror(errno);
    return file;
}

std::string sizeError(const std::string& path, unsigned width, unsigned height, int maxWidth, int maxHeight)
{
    return path + ": the picture is " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels; the display takes at most " + std::to_string(maxWidth) + " x " + std::to_string(maxHeight);
}

// libpng reports through this; the message is kept for the caller.
void pngError(png_structp png, png_const_charp message)
{
    auto* error = static_cast<std::string*>(png_get_error_ptr(png));
    *error = message;
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// True when every palette entry is the instrument's colour at the same index and nothing is
// transparent: then the indices are taken as they are.
bool usesInstrumentPalette(png_structp png, png_infop info)
{
    if (png_get_color_type(png, info) != PNG_COLOR_TYPE_PALETTE || png_get_valid(png, info, PNG_INFO_tRNS))
        return false;
    png_colorp entries = nullptr;
    int count = 0;
    if (!png_get_PLTE(png, info, &entries, &count)) return false;
    for (int i = 0; i < count; ++i) {
        const uint32_t rgb = (uint32_t{entries[i].red} << 16) | (uint32_t{entries[i].green} << 8) | entries[i].blue;
        if (rgb != palette[i]) return false;
    }
    return true;
}

struct JpegErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpegError(j_common_ptr info)
{
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

void jpegSilence(j_common_ptr, int) {}

}  // namespace

bool readPng(const std::string& path, int maxWidth, int maxHeight, Picture& picture, std::string& error)
{
    File file = openInput(path, error);
    if (!file) return false;
    png_byte signature[8];
    if (std::fread(signature, 1, sizeof signature, file.get()) != sizeof signature ||
        png_sig_cmp(signature, 0, sizeof signature) != 0) {
        error = path + ": not a PNG picture";
        return false;
    }
    std::string pngMessage;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &pngMessage, pngError, pngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error = path + ": out of memory";
        return false;
    }
    // libpng jumps back here on an error: everything with a destructor lives before this point.
    std::vector<png_bytep> rows;
    std::vector<uint8_t> data;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        error = path + ": damaged PNG picture (" + pngMessage + ")";
        return false;
    }
    png_init_io(png, file.get());
    png_set_sig_bytes(png, sizeof signature);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    if (width > static_cast<png_uint_32>(maxWidth) || height > static_cast<png_uint_32>(maxHeight)) {
        png_destroy_read_struct(&png, &info, nullptr);
        error = sizeError(path, width, height, maxWidth, maxHeight);
        return false;
    }
    const bool keepIndices = usesInstrumentPalette(png, info);
    if (keepIndices) {
        png_set_packing(png);  // 1, 2 and 4-bit indices to one byte each
    } else {
        png_set_expand(png);   // palette and low-depth grey to 8-bit, transparency to alpha
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t channels = keepIndices ? 1 : 4;
    data.resize(static_cast<size_t>(width) * height * channels);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = data.data() + y * width * channels;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);

    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.indices.clear();
    picture.rgb.clear();
    if (keepIndices) {
        picture.indices = std::move(data);
        return true;
    }
    picture.rgb.resize(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        const unsigned alpha = data[4 * i + 3];
        for (int c = 0; c < 3; ++c)
            picture.rgb[3 * i + c] = static_cast<uint8_t>((data[4 * i + c] * alpha + 127) / 255);
    }
    return true;
}

bool readJpeg(const std::string& path, int maxWidth, int maxHeight, Picture& picture, std::string& error)
{
    File file = openInput(path, error);
    if (!file) return false;
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jpegError;
    errors.base.emit_message = jpegSilence;
    std::vector<uint8_t> rgb;  // before the jump point, like everything with a destructor
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        error = path + ": not a readable JPEG picture (" + errors.message + ")";
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file.get());
    jpeg_read_header(&info, TRUE);
    if (info.image_width > static_cast<JDIMENSION>(maxWidth) || info.image_height > static_cast<JDIMENSION>(maxHeight)) {
        error = sizeError(path, info.image_width, info.image_height, maxWidth, maxHeight);
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    rgb.resize(static_cast<size_t>(info.output_width) * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb.data() + static_cast<size_t>(info.output_scanline) * info.output_width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    picture.width = static_cast<int>(info.output_width);
    picture.height = static_cast<int>(info.output_height);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    picture.rgb = std::move(rgb);
    picture.indices.clear();
    return true;
}
