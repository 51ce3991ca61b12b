#include "core/imaging/JpegFiles.h"

#include "core/app/FailureText.h"
#include "core/app/PrivateFiles.h"
#include "core/imaging/Bitmaps.h"
#include "core/imaging/ImageGeometry.h"
#include "core/imaging/Resampling.h"

#include <QFile>
#include <QSaveFile>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

// libjpeg reports fatal errors through longjmp. The functions that call it therefore hold only plain C objects
// between their setjmp and the library's calls; everything owned by C++ lives in their callers' frames.

namespace {

// A progressive file can hold any number of scans, each a full pass over the picture: past this many the file is
// taken as hostile rather than spending minutes on it.
constexpr int kMaxScans = 1000;

struct ErrorHandler {
    jpeg_error_mgr manager; // first, so that libjpeg's pointer is also ours
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool damaged = false; // the decoder met missing or broken data and filled in for it
    char warning[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info) {
    auto* handler = reinterpret_cast<ErrorHandler*>(info->err);
    info->err->format_message(info, handler->message);
    std::longjmp(handler->jump, 1);
}

// Warnings (a file cut short, extra bytes between markers) are not printed. Those that mean the picture could not
// be read whole are noted, for the callers that refuse a damaged picture.
void OnJpegMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    const int code = info->err->msg_code;
    if (code != JWRN_JPEG_EOF && code != JWRN_HIT_MARKER && code != JWRN_HUFF_BAD_CODE && code != JWRN_MUST_RESYNC)
        return;
    auto* handler = reinterpret_cast<ErrorHandler*>(info->err);
    if (!handler->damaged) info->err->format_message(info, handler->warning);
    handler->damaged = true;
}

// Four-channel pictures come out of libjpeg as CMYK (it converts YCCK itself). Adobe's files, which are nearly all
// of them, store the channels inverted.
void CmykToBgr(const uchar* cmyk, uchar* bgr, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        for (int channel = 0; channel < 3; ++channel) {
            const int ink = inverted ? cmyk[channel] : 255 - cmyk[channel];
            bgr[2 - channel] = uchar((ink * k + 127) / 255);
        }
    }
}

void OnJpegProgress(j_common_ptr info) {
    if (!info->is_decompressor || reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxScans) return;
    auto* handler = reinterpret_cast<ErrorHandler*>(info->err);
    std::snprintf(handler->message, sizeof handler->message, "more than %d scans", kMaxScans);
    std::longjmp(handler->jump, 1);
}

enum class Next { Decode, Stop, Refuse };

// One decoding run: the caller's prepare() sees the header and says where each stored row goes.
struct DecodeRun {
    const uchar* data = nullptr;
    unsigned long size = 0;
    Next (*prepare)(DecodeRun* run, j_decompress_ptr info) = nullptr;
    void* context = nullptr;
    uchar* const* rows = nullptr; // by stored row: where to decode it, or null to skip it (set by prepare)
    uchar* scratch = nullptr;     // a full row where rows not wanted are decoded when they cannot be skipped
    uchar* cmykRow = nullptr;     // for a four-channel picture, where each row is decoded before its conversion
    bool invertedCmyk = false;
    int skipGroup = 0; // skips start and end on multiples of this many rows; 0 never skips
    bool damaged = false;
    char message[JMSG_LENGTH_MAX] = {};
};

// False when the decoder failed or prepare() refused the file; message then says why.
bool RunDecoder(DecodeRun* run) {
    jpeg_decompress_struct info;
    ErrorHandler handler;
    jpeg_progress_mgr progress;
    info.err = jpeg_std_error(&handler.manager);
    handler.manager.error_exit = OnJpegError;
    handler.manager.emit_message = OnJpegMessage;
    handler.message[0] = '\0';
    handler.warning[0] = '\0';
    if (setjmp(handler.jump)) {
        std::snprintf(run->message, sizeof run->message, "%s", handler.message);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    progress.progress_monitor = OnJpegProgress;
    info.progress = &progress;
    jpeg_mem_src(&info, run->data, run->size);
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    const Next next = run->prepare(run, &info);
    if (next != Next::Decode) {
        jpeg_destroy_decompress(&info);
        return next == Next::Stop;
    }
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        const JDIMENSION y = info.output_scanline;
        if (JSAMPROW row = run->rows[y]) {
            if (JSAMPROW cmyk = run->cmykRow) {
                jpeg_read_scanlines(&info, &cmyk, 1);
                CmykToBgr(cmyk, row, info.output_width, run->invertedCmyk);
            } else {
                jpeg_read_scanlines(&info, &row, 1);
            }
            continue;
        }
        JDIMENSION skipped = 1;
        while (y + skipped < info.output_height && !run->rows[y + skipped])
            ++skipped;
        // Skipping still reads the entropy-coded data but spares the inverse transform, the upsampling and the
        // colour conversion. It is kept to whole row groups: libjpeg-turbo's skipping is fragile elsewhere.
        const JDIMENSION group = JDIMENSION(run->skipGroup);
        if (group > 0 && y % group == 0 && y + skipped < info.output_height) skipped -= (y + skipped) % group;
        if (group > 0 && y % group == 0 && skipped > 0) {
            if (jpeg_skip_scanlines(&info, skipped) == 0) break;
            continue;
        }
        JSAMPROW discarded = run->cmykRow ? run->cmykRow : run->scratch;
        jpeg_read_scanlines(&info, &discarded, 1);
    }
    jpeg_destroy_decompress(&info);
    run->damaged = handler.damaged;
    if (handler.damaged) std::snprintf(run->message, sizeof run->message, "%s", handler.warning);
    return true;
}

// What a decoding run learns from the header; set up by the prepare functions below.
struct Header {
    int width = 0;
    int height = 0;
    int channels = 0;   // as stored
    int pixelBytes = 0; // as decoded: 1 (grey) or 3 (colour)
    int orientation = 1;
    std::vector<uchar> cmykRow;
    QString refusal; // French message when the file is refused before decoding
};

bool ReadHeader(const QString& fileName, j_decompress_ptr info, Header* header) {
    header->width = int(info->image_width);
    header->height = int(info->image_height);
    header->channels = info->num_components;
    for (jpeg_saved_marker_ptr marker = info->marker_list; marker; marker = marker->next) {
        if (marker->marker != JPEG_APP0 + 1) continue;
        const QByteArray segment(reinterpret_cast<const char*>(marker->data), qsizetype(marker->data_length));
        if (segment.startsWith(QByteArrayLiteral("Exif\0"))) {
            header->orientation = ExifOrientation(segment);
            break;
        }
    }
    if (info->num_components == 1 && info->jpeg_color_space == JCS_GRAYSCALE) {
        info->out_color_space = JCS_GRAYSCALE;
    } else if (info->num_components == 3 &&
               (info->jpeg_color_space == JCS_YCbCr || info->jpeg_color_space == JCS_RGB)) {
        info->out_color_space = JCS_EXT_BGR;
    } else if (info->num_components == 4 &&
               (info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK)) {
        // Printers' and some scanners' files: decoded as CMYK, then turned into colours row by row.
        info->out_color_space = JCS_CMYK;
    } else {
        header->refusal = QStringLiteral("L'image \"%1\" a %2 couches de couleur : seules les images en niveaux de "
                                         "gris, en couleurs RVB ou en CMJN sont lues.")
                              .arg(fileName)
                              .arg(info->num_components);
        return false;
    }
    header->pixelBytes = header->channels == 1 ? 1 : 3;
    return CheckPictureSize(header->width, header->height, fileName, &header->refusal);
}

// A four-channel picture is decoded a row at a time into a row of its own.
void PrepareCmykRows(DecodeRun* run, j_decompress_ptr info, Header* header) {
    if (info->out_color_space != JCS_CMYK) return;
    header->cmykRow.resize(size_t(header->width) * 4);
    run->cmykRow = header->cmykRow.data();
    run->invertedCmyk = info->saw_Adobe_marker;
}

struct InfoContext {
    QString fileName;
    Header header;
    bool readable = false;
};

Next PrepareInfo(DecodeRun* run, j_decompress_ptr info) {
    auto* context = static_cast<InfoContext*>(run->context);
    context->readable = true;
    ReadHeader(context->fileName, info, &context->header);
    return Next::Stop;
}

struct WholeContext {
    QString fileName;
    Header header;
    QImage image;
    std::vector<uchar*> rows;
};

Next PrepareWhole(DecodeRun* run, j_decompress_ptr info) {
    auto* context = static_cast<WholeContext*>(run->context);
    if (!ReadHeader(context->fileName, info, &context->header)) return Next::Refuse;
    const Header& h = context->header;
    context->image = QImage(h.width, h.height, h.channels == 1 ? kBitmapGreyFormat : kBitmap24Format);
    if (context->image.isNull()) {
        context->header.refusal =
            QStringLiteral("Mémoire insuffisante pour lire l'image \"%1\".").arg(context->fileName);
        return Next::Refuse;
    }
    PrepareCmykRows(run, info, &context->header);
    uchar* bits = context->image.bits();
    context->rows.resize(size_t(h.height));
    for (int y = 0; y < h.height; ++y)
        context->rows[size_t(y)] = bits + qsizetype(y) * context->image.bytesPerLine();
    run->rows = context->rows.data();
    return Next::Decode;
}

struct FittedContext {
    QString fileName;
    int boxWidth = 0;
    int boxHeight = 0;
    Header header;
    FitRect fit;
    QList<int> uprightRows, uprightColumns; // the lines of the upright picture that the resampler reads
    std::vector<uchar> buffer;              // the stored rows that hold them, full width
    std::vector<uchar*> rows;
};

Next PrepareFitted(DecodeRun* run, j_decompress_ptr info) {
    auto* context = static_cast<FittedContext*>(run->context);
    if (!ReadHeader(context->fileName, info, &context->header)) return Next::Refuse;
    const Header& h = context->header;
    const QSize upright = UprightSize(h.orientation, h.width, h.height);
    context->fit = FitImageRect(context->boxWidth, context->boxHeight, upright.width(), upright.height());
    if (context->fit.width <= 0 || context->fit.height <= 0) return Next::Stop;
    context->uprightRows = ResampleSourceLines(upright.height(), context->fit.height);
    context->uprightColumns = ResampleSourceLines(upright.width(), context->fit.width);
    // A stored row holds an upright row, or an upright column when the orientation swaps the axes.
    const bool swapped = h.orientation >= 5;
    context->rows.assign(size_t(h.height), nullptr);
    std::vector<int> storedRows;
    for (int line : swapped ? context->uprightColumns : context->uprightRows) {
        const QPoint stored = swapped ? StoredPixelOf(h.orientation, line, 0, h.width, h.height)
                                      : StoredPixelOf(h.orientation, 0, line, h.width, h.height);
        storedRows.push_back(stored.y());
    }
    const qsizetype rowBytes = qsizetype(h.width) * h.pixelBytes;
    PrepareCmykRows(run, info, &context->header);
    context->buffer.resize((storedRows.size() + 1) * size_t(rowBytes));
    for (size_t i = 0; i < storedRows.size(); ++i)
        context->rows[size_t(storedRows[i])] = context->buffer.data() + i * size_t(rowBytes);
    run->rows = context->rows.data();
    run->scratch = context->buffer.data() + storedRows.size() * size_t(rowBytes);
    // Rows are skipped only in the layouts that cameras and encoders write (grey; luma sampled 1 or 2 times in
    // each direction over two chroma components sampled once), which the tests hold to the whole decoding;
    // libjpeg-turbo's skipping has hung on others.
    bool usual = info->num_components == 1;
    if (info->num_components == 3) {
        const jpeg_component_info* c = info->comp_info;
        usual = c[0].h_samp_factor <= 2 && c[0].v_samp_factor <= 2 && c[1].h_samp_factor == 1 &&
                c[1].v_samp_factor == 1 && c[2].h_samp_factor == 1 && c[2].v_samp_factor == 1;
    }
    run->skipGroup = usual ? info->max_v_samp_factor : 0;
    return Next::Decode;
}

QString Unreadable(const QString& fileName, const char* detail) {
    return QStringLiteral("Le fichier \"%1\" n'est pas une image JPEG lisible (%2).")
        .arg(fileName, QString::fromLocal8Bit(detail));
}

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

struct EncodeRun {
    const uchar* bits = nullptr;
    qsizetype stride = 0;
    int width = 0;
    int height = 0;
    int quality = 100;
    unsigned char* output = nullptr; // allocated by libjpeg, freed by the caller
    unsigned long outputSize = 0;
};

bool RunEncoder(EncodeRun* run) {
    jpeg_compress_struct info;
    ErrorHandler handler;
    info.err = jpeg_std_error(&handler.manager);
    handler.manager.error_exit = OnJpegError;
    handler.manager.emit_message = OnJpegMessage;
    if (setjmp(handler.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &run->output, &run->outputSize);
    info.image_width = JDIMENSION(run->width);
    info.image_height = JDIMENSION(run->height);
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    // Defaults: JFIF header, YCbCr with the chroma halved both ways, sequential Huffman coding.
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, run->quality, TRUE); // baseline tables whatever the quality
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto row = const_cast<JSAMPROW>(run->bits + qsizetype(info.next_scanline) * run->stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

bool ReadWholeFile(const QString& fileName, QByteArray* data, QString* error) {
    QFile file(fileName);
    if (!file.exists()) return Fail(error, QStringLiteral("Le fichier \"%1\" est introuvable.").arg(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error,
                    QStringLiteral("Impossible de lire le fichier \"%1\" : %2").arg(fileName, file.errorString()));
    *data = file.readAll();
    return true;
}

} // namespace

int ClampJpegQuality(int quality) {
    return qBound(1, quality, 100);
}

bool JpegEncodeBitmap(const QImage& bitmap, int quality, QByteArray* jpeg, QString* error) {
    if (!jpeg || bitmap.isNull() || bitmap.format() != kBitmap24Format)
        return Fail(error, QString::fromLatin1(kJpegWriteError));
    EncodeRun run;
    run.bits = bitmap.constBits();
    run.stride = bitmap.bytesPerLine();
    run.width = bitmap.width();
    run.height = bitmap.height();
    run.quality = ClampJpegQuality(quality);
    const bool encoded = RunEncoder(&run);
    if (encoded) *jpeg = QByteArray(reinterpret_cast<const char*>(run.output), qsizetype(run.outputSize));
    std::free(run.output);
    return encoded || Fail(error, QString::fromLatin1(kJpegWriteError));
}

bool JpegSaveBitmap(const QImage& bitmap, const QString& fileName, int quality, QString* error) {
    QByteArray jpeg;
    if (!JpegEncodeBitmap(bitmap, quality, &jpeg, error)) return false;
    QSaveFile file(fileName);
    if (!OpenPrivately(file) || file.write(jpeg) != jpeg.size() || !file.commit())
        return Fail(error, QString::fromLatin1(kJpegWriteError));
    return true;
}

bool JpegReadInfo(const QByteArray& jpeg, JpegInfo* info, QString* error, const QString& fileName) {
    InfoContext context;
    context.fileName = fileName;
    DecodeRun run;
    run.data = reinterpret_cast<const uchar*>(jpeg.constData());
    run.size = static_cast<unsigned long>(jpeg.size());
    run.prepare = PrepareInfo;
    run.context = &context;
    if (!RunDecoder(&run) || !context.readable) return Fail(error, Unreadable(fileName, run.message));
    if (info) {
        info->width = context.header.width;
        info->height = context.header.height;
        info->channels = context.header.channels;
        info->orientation = context.header.orientation;
    }
    return true;
}

bool JpegDecodeBitmap(const QByteArray& jpeg, QImage* bitmap, QString* error, const QString& fileName,
                      JpegLayout layout) {
    if (!bitmap) return false;
    *bitmap = QImage();
    WholeContext context;
    context.fileName = fileName;
    DecodeRun run;
    run.data = reinterpret_cast<const uchar*>(jpeg.constData());
    run.size = static_cast<unsigned long>(jpeg.size());
    run.prepare = PrepareWhole;
    run.context = &context;
    if (!RunDecoder(&run)) {
        const QString& refusal = context.header.refusal;
        return Fail(error, refusal.isEmpty() ? Unreadable(fileName, run.message) : refusal);
    }
    *bitmap = layout == JpegLayout::Upright ? OrientUpright(context.image, context.header.orientation) : context.image;
    return !bitmap->isNull();
}

bool JpegLoadBitmap(QImage* bitmap, const QString& fileName, QString* error, JpegLayout layout) {
    if (!bitmap) return false;
    *bitmap = QImage();
    QByteArray jpeg;
    return ReadWholeFile(fileName, &jpeg, error) && JpegDecodeBitmap(jpeg, bitmap, error, fileName, layout);
}

bool JpegDecodeFitted(const QByteArray& jpeg, int boxWidth, int boxHeight, QImage* fitted, QString* error,
                      const QString& fileName, JpegDamage damage) {
    if (!fitted) return false;
    *fitted = QImage();
    FittedContext context;
    context.fileName = fileName;
    context.boxWidth = boxWidth;
    context.boxHeight = boxHeight;
    DecodeRun run;
    run.data = reinterpret_cast<const uchar*>(jpeg.constData());
    run.size = static_cast<unsigned long>(jpeg.size());
    run.prepare = PrepareFitted;
    run.context = &context;
    if (!RunDecoder(&run)) {
        const QString& refusal = context.header.refusal;
        return Fail(error, refusal.isEmpty() ? Unreadable(fileName, run.message) : refusal);
    }
    if (run.damaged && damage == JpegDamage::Refused)
        return Fail(error, FailureText(QStringLiteral("Impossible d'utiliser l'image"), fileName,
                                       QString::fromLocal8Bit(run.message)));
    if (context.fit.width <= 0 || context.fit.height <= 0) return true; // an empty box: an empty picture
    // Gather the lines the resampler reads, upright, then resample them.
    const Header& h = context.header;
    const QSize upright = UprightSize(h.orientation, h.width, h.height);
    QImage present = NewBitmap24(int(context.uprightColumns.size()), int(context.uprightRows.size()));
    if (present.isNull())
        return Fail(error, QStringLiteral("Mémoire insuffisante pour lire l'image \"%1\".").arg(fileName));
    for (int r = 0; r < context.uprightRows.size(); ++r) {
        uchar* out = present.scanLine(r);
        for (int c = 0; c < context.uprightColumns.size(); ++c, out += 3) {
            const QPoint stored =
                StoredPixelOf(h.orientation, context.uprightColumns[c], context.uprightRows[r], h.width, h.height);
            const uchar* pixel = context.rows[size_t(stored.y())] + qsizetype(stored.x()) * h.pixelBytes;
            out[0] = pixel[0];
            out[1] = pixel[h.pixelBytes == 1 ? 0 : 1];
            out[2] = pixel[h.pixelBytes == 1 ? 0 : 2];
        }
    }
    *fitted = ResamplePartial(present, context.uprightRows, context.uprightColumns, upright.width(), upright.height(),
                              context.fit.width, context.fit.height);
    return !fitted->isNull();
}
