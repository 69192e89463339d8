#pragma once
// A push button that shows its icon above its title, centred, as a toolbar
// or a tile shows it. Its frame, colours and states come from the app's
// style sheet like any push button's; without an icon it is a plain button.

#include <QPushButton>

namespace qp {

class IconButton : public QPushButton {
public:
    explicit IconButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;

    // Where the icon and the title go inside `contents`: the pair, one
    // above the other with `spacing` between them, centred as a block.
    struct Placement {
        QRect icon;
        QRect title;
    };
    static Placement place(const QRect& contents, QSize iconSize, int titleHeight, int spacing);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qp
