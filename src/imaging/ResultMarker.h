#pragma once
// Every result Quillpost writes carries a mark naming the app (a JPEG comment
// or a PNG text chunk), so a later run can tell its own results from photos
// instead of framing a framed square again.

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qp {

inline constexpr std::string_view kResultMarkerText = "Made with Quillpost";

// `encoded` (a JPEG or PNG file) with the mark added after its first header;
// other data comes back unchanged.
QByteArray withResultMarker(const QByteArray& encoded);

// Whether the file's headers, before its picture data, carry the mark.
bool carriesResultMarker(const std::uint8_t* data, std::size_t size);
bool carriesResultMarker(const QByteArray& bytes);

}  // namespace qp
