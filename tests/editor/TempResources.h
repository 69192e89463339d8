#pragma once
// A throw-away resources folder with categories/ and images/ for tests.

#include <QImage>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor/ThemeCategory.h"
#include "editor/ThemeKeys.h"
#include "editor/ThemeRecord.h"
#include "platform/plist/PropertyList.h"
#include "support/TempFolder.h"

namespace qp {

class TempResources {
public:
    TempResources() {
        std::filesystem::create_directories(m_root / kCategoriesFolder);
        std::filesystem::create_directories(m_root / kImagesFolder);
    }
    TempResources(const TempResources&) = delete;
    TempResources& operator=(const TempResources&) = delete;

    const std::filesystem::path& root() const { return m_root; }
    std::filesystem::path categoryPath(int n) const {
        return m_root / kCategoriesFolder / categoryFileName(n);
    }

    void writeCategory(int n, const std::vector<ThemeRecord>& items,
                       const std::string& marker = {}) {
        PlistArray array;
        for (const ThemeRecord& item : items) {
            PlistDictionary dict;
            for (const auto& [key, value] : item.values()) dict[key] = PlistValue(value);
            array.emplace_back(dict);
        }
        PlistDictionary file{{kThemeItemsKey, PlistValue(array)}};
        if (!marker.empty()) file[kCategoryMarkerKey] = PlistValue(marker);
        writeValue(n, PlistValue(file));
    }
    void writeValue(int n, const PlistValue& value) {
        ignoreResult(writePropertyListFile(categoryPath(n), value, PlistFormat::Xml));
    }
    void writeText(const std::filesystem::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    // A small one-colour image under images/.
    void writeImage(const std::string& name, int side, QColor colour = Qt::red) {
        QImage image(side, side, QImage::Format_RGB32);
        image.fill(colour);
        image.save(QString::fromStdString((m_root / kImagesFolder / name).string()));
    }

private:
    TempFolder m_folder;
    std::filesystem::path m_root = m_folder.path();
};

}  // namespace qp
