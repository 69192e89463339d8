#include "platform/ui/LayoutLoader.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QVariant>
#include <QWidget>

#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"
#include "platform/ui/IconButton.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextView.h"

namespace qp {

LayoutLoader& LayoutLoader::shared() {
    static LayoutLoader loader;
    return loader;
}

LayoutLoader::LayoutLoader() {
    // The toolkit's own widgets, usable as promoted classes in layout files.
    registerWidgetClass("Button", [](QWidget* parent) { return new Button(parent); });
    registerWidgetClass("IconButton", [](QWidget* parent) { return new IconButton(parent); });
    registerWidgetClass("Label", [](QWidget* parent) { return new Label(parent); });
    registerWidgetClass("ScrollView", [](QWidget* parent) { return new ScrollView(parent); });
    registerWidgetClass("Slider", [](QWidget* parent) { return new Slider(parent); });
    registerWidgetClass("TextView", [](QWidget* parent) { return new TextView(parent); });
    registerWidgetClass("ActivityIndicatorView", [](QWidget* parent) {
        return new ActivityIndicatorView(ActivityIndicatorViewStyle::WhiteLarge, parent);
    });
}

bool LayoutLoader::hasLayout(const std::string& layoutName) const {
    std::error_code ec;
    return std::filesystem::is_regular_file(m_folder / (layoutName + ".ui"), ec);
}

void LayoutLoader::registerWidgetClass(const std::string& className, Factory factory) {
    m_factories[className] = std::move(factory);
}

Result<QWidget*> LayoutLoader::loadLayout(const std::string& layoutName) {
    const std::filesystem::path path = m_folder / (layoutName + ".ui");
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly)) {
        return Error(kLayoutErrorDomain, kLayoutFileMissing,
                     {{kLocalizedDescriptionKey, "Layout file not found: " + path.string()}});
    }
    QWidget* widget = load(&file, nullptr);
    if (!widget) {
        return Error(
            kLayoutErrorDomain, kLayoutUnreadable,
            {{kLocalizedDescriptionKey,
              "Layout file " + path.string() + " is not valid: " + errorString().toStdString()}});
    }
    const std::size_t variantStart = layoutName.rfind('_');
    if (variantStart != std::string::npos) {
        widget->setProperty(kVariantProperty,
                            QString::fromStdString(layoutName.substr(variantStart + 1)));
    }
    if (Result<void> icons = applyIcons(widget); !icons.ok()) {
        delete widget;
        return icons.error();
    }
    return widget;
}

Result<void> LayoutLoader::applyIcons(QWidget* root) const {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        const QString file = widget->property(kIconFileProperty).toString();
        if (file.isEmpty()) continue;
        const std::filesystem::path path = iconsFolder() / file.toStdString();
        const QPixmap picture(QString::fromStdString(path.string()));
        if (picture.isNull()) {
            return Error(
                kLayoutErrorDomain, kLayoutIconMissing,
                {{kLocalizedDescriptionKey,
                  "The picture " + path.string() + " that " + widget->objectName().toStdString() +
                      " shows is missing or unreadable; run tools/theme-art/generate"}});
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setIcon(QIcon(picture));
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setScaledContents(true);
            label->setPixmap(picture);
        }
    }
    return {};
}

QWidget* LayoutLoader::createWidget(const QString& className, QWidget* parent,
                                    const QString& name) {
    auto it = m_factories.find(className.toStdString());
    if (it == m_factories.end()) return QUiLoader::createWidget(className, parent, name);
    QWidget* widget = it->second(parent);
    if (widget) widget->setObjectName(name);
    return widget;
}

int tagOf(const QObject* widget) {
    const QVariant tag = widget ? widget->property("tag") : QVariant();
    return tag.isValid() ? tag.toInt() : 0;
}

QWidget* viewWithTag(QWidget* root, int tag) {
    if (!root) return nullptr;
    if (tagOf(root) == tag) return root;
    for (QObject* child : root->children()) {
        if (auto* w = qobject_cast<QWidget*>(child)) {
            if (QWidget* found = viewWithTag(w, tag)) return found;
        }
    }
    return nullptr;
}

}  // namespace qp
