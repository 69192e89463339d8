#include "platform/ui/IconButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace qp {

namespace {
constexpr int kIconTitleSpacing = 3;
// The style sheet finds icon buttons by this property.
constexpr const char* kLookProperty = "look";
constexpr const char* kIconLook = "icon";
}  // namespace

IconButton::IconButton(QWidget* parent) : QPushButton(parent) {
    setProperty(kLookProperty, kIconLook);
}

IconButton::Placement IconButton::place(const QRect& contents, QSize iconSize, int titleHeight,
                                        int spacing) {
    // An icon taller than the room left for it shrinks, keeping its shape,
    // so the title always shows.
    const int titleRoom = titleHeight > 0 ? titleHeight + spacing : 0;
    const int iconRoom = std::max(0, contents.height() - titleRoom);
    const QSize icon = iconSize.height() > iconRoom
                           ? iconSize.scaled(iconSize.width(), iconRoom, Qt::KeepAspectRatio)
                           : iconSize;
    const int blockHeight = icon.height() + titleRoom;
    const int top = contents.top() + (contents.height() - blockHeight) / 2;
    Placement placement;
    placement.icon = QRect(contents.left() + (contents.width() - icon.width()) / 2, top,
                           icon.width(), icon.height());
    placement.title = QRect(contents.left(), top + icon.height() + (titleRoom - titleHeight),
                            contents.width(), titleHeight);
    return placement;
}

QSize IconButton::sizeHint() const {
    if (icon().isNull()) return QPushButton::sizeHint();
    const QSize title = fontMetrics().size(Qt::TextShowMnemonic, text());
    return {std::max(iconSize().width(), title.width()) + 8,
            iconSize().height() + kIconTitleSpacing + title.height() + 8};
}

void IconButton::paintEvent(QPaintEvent* event) {
    if (icon().isNull()) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The frame and background, with the state the style sheet gives them.
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int titleHeight = text().isEmpty() ? 0 : fontMetrics().height();
    const Placement placement = place(contents, iconSize(), titleHeight, kIconTitleSpacing);

    const QIcon::Mode mode = !isEnabled() ? QIcon::Disabled
                             : isDown()   ? QIcon::Active
                                          : QIcon::Normal;
    const QIcon::State state = isChecked() ? QIcon::On : QIcon::Off;
    icon().paint(&painter, placement.icon, Qt::AlignCenter, mode, state);

    if (titleHeight > 0) {
        // The title alone, drawn by the style so it takes the state's colour.
        QStyleOptionButton title = option;
        title.icon = QIcon();
        title.rect = placement.title;
        title.text = fontMetrics().elidedText(text(), Qt::ElideRight, placement.title.width());
        painter.drawControl(QStyle::CE_PushButtonLabel, title);
    }
}

}  // namespace qp
