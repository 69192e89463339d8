#pragma once
// Loads a screen's layout file (resources/layouts/<Screen>_<Variant>.ui) with
// QUiLoader, creating our own widget classes through registered factories.
// A button or label whose dynamic property "iconFile" names a picture in the
// icons folder beside the layouts (resources/icons/) shows that picture, and
// the layout's root carries its variant ("iPhone", "iPhone40", "iPad") in the
// dynamic property "variant", so the style sheet can size things per device.

#include <QUiLoader>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "platform/Result.h"

namespace qp {

inline constexpr const char* kLayoutErrorDomain = "qp.layout";
enum LayoutErrorCode { kLayoutFileMissing = 1, kLayoutUnreadable = 2, kLayoutIconMissing = 3 };

inline constexpr const char* kIconFileProperty = "iconFile";
inline constexpr const char* kVariantProperty = "variant";

class LayoutLoader : public QUiLoader {
public:
    using Factory = std::function<QWidget*(QWidget* parent)>;

    // Knows the toolkit's widget classes (Button, Label, ScrollView, Slider,
    // TextView, ActivityIndicatorView) from the start.
    LayoutLoader();

    // The loader the screens use; its folder is set once at start-up.
    static LayoutLoader& shared();

    void setLayoutsFolder(std::filesystem::path folder) { m_folder = std::move(folder); }
    const std::filesystem::path& layoutsFolder() const { return m_folder; }
    // The pictures that "iconFile" names: "icons" beside the layouts folder.
    std::filesystem::path iconsFolder() const { return m_folder.parent_path() / "icons"; }
    bool hasLayout(const std::string& layoutName) const;

    // Makes `className` in layout files (a promoted widget) build with `factory`.
    void registerWidgetClass(const std::string& className, Factory factory);

    // The widget tree of "<layoutName>.ui", owned by the caller. Errors:
    // 1 the file is missing, 2 it is not a valid layout, 3 a picture that
    // "iconFile" names is missing or unreadable.
    Result<QWidget*> loadLayout(const std::string& layoutName);

protected:
    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override;

private:
    Result<void> applyIcons(QWidget* root) const;

    std::filesystem::path m_folder;
    std::map<std::string, Factory> m_factories;
};

// The first widget in `root`'s tree (root included) whose dynamic property
// "tag" equals `tag`, searched depth first; nullptr when there is none.
QWidget* viewWithTag(QWidget* root, int tag);
// The widget's tag, 0 when it has none.
int tagOf(const QObject* widget);

}  // namespace qp
