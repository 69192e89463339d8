#pragma once
// libheif's functions, taken from the library when the first HEIC or HEIF
// photo arrives. libheif brings the HEVC and AV1 decoders with it, which cost
// every start a dozen milliseconds if linked; a JPEG never loads them.

#include <libheif/heif.h>

#include <string>

namespace qp {

#define QP_HEIF_FUNCTIONS(X)                            \
    X(heif_context_alloc)                               \
    X(heif_context_free)                                \
    X(heif_context_set_maximum_image_size_limit)        \
    X(heif_context_read_from_memory_without_copy)       \
    X(heif_context_get_primary_image_handle)            \
    X(heif_image_handle_release)                        \
    X(heif_image_handle_get_width)                      \
    X(heif_image_handle_get_height)                     \
    X(heif_image_handle_has_alpha_channel)              \
    X(heif_image_handle_get_nclx_color_profile)         \
    X(heif_image_handle_get_color_profile_type)         \
    X(heif_image_handle_get_raw_color_profile_size)     \
    X(heif_image_handle_get_raw_color_profile)          \
    X(heif_image_handle_get_list_of_metadata_block_IDs) \
    X(heif_image_handle_get_metadata_size)              \
    X(heif_image_handle_get_metadata)                   \
    X(heif_nclx_color_profile_free)                     \
    X(heif_decoding_options_alloc)                      \
    X(heif_decoding_options_free)                       \
    X(heif_decode_image)                                \
    X(heif_image_release)                               \
    X(heif_image_get_plane_readonly)                    \
    X(heif_image_get_width)                             \
    X(heif_image_get_height)

// One member per function, named as libheif names it.
struct HeifFunctions {
#define QP_HEIF_MEMBER(name) decltype(&::name) name = nullptr;
    QP_HEIF_FUNCTIONS(QP_HEIF_MEMBER)
#undef QP_HEIF_MEMBER
};

// libheif's functions, loaded on the first call (from any thread); null when
// the library is missing or too old, and `problem` (may be null) then says
// what to install.
const HeifFunctions* heifFunctions(std::string* problem = nullptr);

}  // namespace qp
