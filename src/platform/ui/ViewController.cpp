#include "platform/ui/ViewController.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QVariant>

#include <cstdlib>

#include "platform/Log.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/Slider.h"
#include "platform/ui/ViewAlpha.h"

namespace qp {

namespace {

Error layoutError(int code, const std::string& layout, const std::string& what) {
    return Error(kLayoutErrorDomain, code,
                 {{kLocalizedDescriptionKey, "Layout '" + layout + "': " + what}});
}

}  // namespace

ViewController::ViewController(std::string layoutName) : m_layoutName(std::move(layoutName)) {}

ViewController::~ViewController() {
    if (m_presented) m_presented->m_presenting = nullptr;
    delete m_view.data();
}

QWidget* ViewController::view() {
    if (Result<void> loaded = loadViewIfNeeded(); !loaded.ok()) {
        logf("Fatal: {}", loaded.error().description());
        std::abort();
    }
    return m_view.data();
}

Result<void> ViewController::loadViewIfNeeded() {
    if (m_view || m_loading) return {};
    QWidget* root = nullptr;
    if (m_layoutName.empty()) {
        root = makeView();
    } else {
        Result<QWidget*> loaded = LayoutLoader::shared().loadLayout(m_layoutName);
        if (!loaded.ok()) return loaded.error();
        root = *loaded;
        if (Result<void> bound = bindLayout(root); !bound.ok()) {
            delete root;
            return bound.error();
        }
    }
    m_view = root;
    m_loading = true;
    viewDidLoad();
    m_loading = false;
    return {};
}

QWidget* ViewController::makeView() {
    return new QWidget;
}

QWidget* ViewController::outlet(const std::string& name) const {
    if (!m_view) return nullptr;
    const QString qname = QString::fromStdString(name);
    if (m_view->objectName() == qname) return m_view.data();
    return m_view->findChild<QWidget*>(qname);
}

bool ViewController::performAction(const std::string& name, QObject* sender) {
    std::map<std::string, Action> table = actions();
    const auto found = table.find(name);
    if (found == table.end()) return false;
    found->second(sender);
    return true;
}

Result<void> ViewController::bindLayout(QWidget* root) {
    for (const std::string& name : requiredOutlets()) {
        const QString qname = QString::fromStdString(name);
        if (root->objectName() != qname && !root->findChild<QWidget*>(qname)) {
            return layoutError(3, m_layoutName, "outlet '" + name + "' is missing");
        }
    }
    std::map<std::string, Action> table = actions();
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        const QVariant property = widget->property("action");
        if (!property.isValid()) continue;
        const std::string name = property.toString().toStdString();
        auto it = table.find(name);
        if (it == table.end()) {
            return layoutError(4, m_layoutName,
                               "widget '" + widget->objectName().toStdString() +
                                   "' names unknown action '" + name + "'");
        }
        Action action = it->second;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QObject::connect(button, &QAbstractButton::clicked, button,
                             [action, button] { action(button); });
        } else if (auto* toolkitSlider = dynamic_cast<Slider*>(widget)) {
            toolkitSlider->addTargetForControlEvents([action](Slider* sender) { action(sender); },
                                                     kControlEventValueChanged);
        } else if (auto* slider = qobject_cast<QAbstractSlider*>(widget)) {
            QObject::connect(slider, &QAbstractSlider::valueChanged, slider,
                             [action, slider] { action(slider); });
        } else {
            return layoutError(
                5, m_layoutName,
                "widget '" + widget->objectName().toStdString() + "' cannot send actions");
        }
    }
    return {};
}

void ViewController::beginAppearance(bool appearing, bool animated) {
    if (appearing) {
        viewWillAppear(animated);
    } else {
        viewWillDisappear(animated);
    }
}

void ViewController::endAppearance(bool appearing, bool animated) {
    m_onScreen = appearing;
    if (appearing) {
        viewDidAppear(animated);
    } else {
        viewDidDisappear(animated);
    }
}

void ViewController::presentViewController(std::shared_ptr<ViewController> controller,
                                           bool animated, Completion completion) {
    if (!controller || m_presented || controller->m_presenting) return;
    QWidget* host = view()->window();
    m_presented = controller;
    controller->m_presenting = this;
    QWidget* presentedView = controller->view();
    presentedView->setParent(host);
    presentedView->setGeometry(host->rect());

    controller->beginAppearance(true, animated);
    beginAppearance(false, animated);
    // The fade holds its completion until it ends, so the completion holds
    // the two controllers weakly: a screen dropped mid-fade is not kept alive.
    animateIn(*controller, animated,
              [weakSelf = weak_from_this(),
               weakController = std::weak_ptr<ViewController>(controller), animated, completion] {
                  const std::shared_ptr<ViewController> self = weakSelf.lock();
                  const std::shared_ptr<ViewController> controller = weakController.lock();
                  if (!self || !controller) return;
                  controller->endAppearance(true, animated);
                  self->endAppearance(false, animated);
                  if (completion) completion();
              });
}

void ViewController::dismissViewControllerAnimated(bool animated, Completion completion) {
    if (!m_presented) {
        if (m_presenting)
            m_presenting->dismissViewControllerAnimated(animated, std::move(completion));
        return;
    }
    // Whatever the presented controller presents goes first, without animation.
    if (m_presented->m_presented) m_presented->dismissViewControllerAnimated(false);

    std::weak_ptr<ViewController> weakPresented = m_presented;
    m_presented->beginAppearance(false, animated);
    beginAppearance(true, animated);
    animateOut(*m_presented, animated,
               [weakSelf = weak_from_this(), weakPresented, animated, completion] {
                   const std::shared_ptr<ViewController> self = weakSelf.lock();
                   const std::shared_ptr<ViewController> presented = weakPresented.lock();
                   if (!self || !presented) return;
                   if (QWidget* v = presented->m_view.data()) {
                       v->hide();
                       v->setParent(nullptr);
                   }
                   presented->m_presenting = nullptr;
                   self->m_presented.reset();
                   presented->endAppearance(false, animated);
                   self->endAppearance(true, animated);
                   if (completion) completion();
               });
}

void ViewController::animateIn(ViewController& presented, bool animated, Completion done) {
    QWidget* v = presented.view();
    const bool fade =
        animated && presented.modalTransitionStyle() == ModalTransitionStyle::CrossDissolve;
    setViewAlpha(v, fade ? 0.0 : 1.0);
    v->show();
    v->raise();
    if (!fade) {
        done();
        return;
    }
    fadeView(v, 1.0, kCrossDissolveDuration, [done = std::move(done)](bool) { done(); });
}

void ViewController::animateOut(ViewController& presented, bool animated, Completion done) {
    QWidget* v = presented.isViewLoaded() ? presented.view() : nullptr;
    if (!v || !animated ||
        presented.modalTransitionStyle() != ModalTransitionStyle::CrossDissolve) {
        done();
        return;
    }
    QPointer<QWidget> guard(v);
    fadeView(v, 0.0, kCrossDissolveDuration, [guard, done = std::move(done)](bool) {
        done();
        // Ready to come back opaque however it is presented next.
        if (guard) setViewAlpha(guard.data(), 1.0);
    });
}

}  // namespace qp
