#pragma once
// What the compose command tests share: captured output streams, small
// coloured photos written as files, and options pointing at the bundled
// themes.

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/ComposeCommand.h"
#include "editor/composition/CompositionTestSupport.h"
#include "imaging/Image.h"
#include "imaging/ImageOrientation.h"
#include "imaging/PhotoIO.h"
#include "support/TestPhotos.h"

namespace qp {
namespace fs = std::filesystem;

// Captures what the command writes.
class Captured {
public:
    Captured()
        : m_out(open_memstream(&m_outText, &m_outSize)),
          m_err(open_memstream(&m_errText, &m_errSize)) {}
    ~Captured() {
        std::fclose(m_out);
        std::fclose(m_err);
        std::free(m_outText);
        std::free(m_errText);
    }
    ComposeStreams streams() { return {m_out, m_err, false}; }
    std::string out() {
        std::fflush(m_out);
        return {m_outText, m_outSize};
    }
    std::string err() {
        std::fflush(m_err);
        return {m_errText, m_errSize};
    }

private:
    char* m_outText = nullptr;
    std::size_t m_outSize = 0;
    char* m_errText = nullptr;
    std::size_t m_errSize = 0;
    std::FILE* m_out;
    std::FILE* m_err;
};

using test::quarters;

// The stored pixels that show `upright` once turned by `tag`.
inline QImage storedFor(const QImage& upright, ImageOrientation tag) {
    ImageOrientation inverse = tag;
    if (tag == ImageOrientation::Left) inverse = ImageOrientation::Right;
    if (tag == ImageOrientation::Right) inverse = ImageOrientation::Left;
    return Image(upright, inverse).fixOrientation()->bitmap();
}

inline void writeJpeg(const fs::path& path, const QImage& stored, int exifOrientation) {
    QByteArray jpeg = *jpegRepresentation(Image(stored), 1.0);
    if (exifOrientation != 1) jpeg = test::withExifOrientation(jpeg, exifOrientation);
    QFile file(QString::fromStdString(path.string()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(jpeg);
}

inline bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
           std::abs(a.blue() - b.blue()) < 40;
}

inline ComposeOptions optionsFor(std::vector<std::string> photos) {
    ComposeOptions options;
    options.photos = std::move(photos);
    options.resources =
        std::getenv("QUILLPOST_RESOURCES") ? std::getenv("QUILLPOST_RESOURCES") : "";
    return options;
}

}  // namespace qp
