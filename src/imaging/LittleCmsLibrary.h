#pragma once
// Little CMS's functions, taken from the library when the first photo with a
// colour profile (or a HEIC file stating its primaries) arrives; untagged
// photos, most of them, never load it.

#include <lcms2.h>

#include <string>

namespace qp {

#define QP_LITTLE_CMS_FUNCTIONS(X) \
    X(cmsOpenProfileFromMem)       \
    X(cmsCloseProfile)             \
    X(cmsCreate_sRGBProfile)       \
    X(cmsCreateRGBProfile)         \
    X(cmsGetColorSpace)            \
    X(cmsGetDeviceClass)           \
    X(cmsBuildParametricToneCurve) \
    X(cmsBuildGamma)               \
    X(cmsFreeToneCurve)            \
    X(cmsCreateTransform)          \
    X(cmsDeleteTransform)          \
    X(cmsDoTransform)              \
    X(cmsDoTransformLineStride)

// One member per function, named as Little CMS names it.
struct LittleCmsFunctions {
#define QP_LITTLE_CMS_MEMBER(name) decltype(&::name) name = nullptr;
    QP_LITTLE_CMS_FUNCTIONS(QP_LITTLE_CMS_MEMBER)
#undef QP_LITTLE_CMS_MEMBER
};

// Little CMS's functions, loaded on the first call (from any thread); null
// when the library is missing or too old, and `problem` (may be null) then
// says what to install.
const LittleCmsFunctions* littleCmsFunctions(std::string* problem = nullptr);

}  // namespace qp
