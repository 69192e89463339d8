#pragma once
// A button with an image per control state, a tag number and targets for
// its control events, drawn as the image alone (a "custom" button) or as a
// titled button when it has no image.

#include <QPixmap>
#include <QPushButton>

#include <functional>
#include <map>
#include <vector>

namespace qp {

enum class ControlState { Normal = 0, Highlighted = 1, Disabled = 2, Selected = 4 };

enum ControlEvent : unsigned {
    kControlEventTouchDown = 1u << 0,
    kControlEventTouchUpInside = 1u << 6,
    kControlEventTouchUpOutside = 1u << 7,
    kControlEventValueChanged = 1u << 12,
};

class Button : public QPushButton {
public:
    using Target = std::function<void(Button* sender)>;

    explicit Button(QWidget* parent = nullptr);

    int tag() const;
    void setTag(int tag);

    // The image for a state; a state without its own shows the normal one.
    void setImageForState(const QPixmap& image, ControlState state);
    QPixmap imageForState(ControlState state) const;
    // The state the button shows now.
    ControlState currentState() const;
    bool isSelectedState() const { return m_selected; }
    void setSelectedState(bool selected);

    void addTargetForControlEvents(Target target, unsigned events);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void send(ControlEvent event);
    void paintTitle(QPaintEvent* event);

    std::map<ControlState, QPixmap> m_images;
    std::vector<std::pair<unsigned, Target>> m_targets;
    bool m_selected = false;
    bool m_tracking = false;
};

}  // namespace qp
