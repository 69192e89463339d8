#pragma once
// The few details of a photo's EXIF that a result may keep: when it was
// taken and on which camera. Nothing else is ever read for a result: no
// location, no serial numbers, no owner.

#include <QByteArray>
#include <string>

namespace qp {

struct CaptureMetadata {
    std::string captureDate;  // "YYYY:MM:DD HH:MM:SS", or empty
    std::string make;         // printable ASCII, at most 64 characters, or empty
    std::string model;

    bool empty() const { return captureDate.empty() && make.empty() && model.empty(); }
    bool operator==(const CaptureMetadata&) const = default;
};

// From a JPEG's, PNG's or HEIC's EXIF block. A date not in EXIF's own form
// and characters outside printable ASCII are dropped.
CaptureMetadata readCaptureMetadata(const QByteArray& photo);

// A big-endian TIFF structure for an EXIF block that holds only orientation 1,
// the sRGB colour space and the non-empty fields of `metadata`.
QByteArray exifTiffFor(const CaptureMetadata& metadata);

}  // namespace qp
