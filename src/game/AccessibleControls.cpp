#include "game/AccessibleControls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWidget>

namespace stakko {

namespace {

struct TDescription {
    QString Name;
    QString Description;
    std::function<bool()> Checked;  // set for a switch
    std::function<void()> Toggle;   // set for a switch
    std::function<QString()> Words; // set for a drawing
};

// The descriptions by widget; an entry goes with its widget.
QHash<const QWidget*, TDescription>& Descriptions() {
    static QHash<const QWidget*, TDescription> descriptions;
    return descriptions;
}

const TDescription* DescriptionOf(const QObject* object) {
    const auto& all = Descriptions();
    const auto it = all.constFind(static_cast<const QWidget*>(object));
    return it == all.constEnd() ? nullptr : &*it;
}

// The name and the description come from the window's description; every
// other text is the widget's own.
QString DescribedText(const QAccessibleWidget& self, QAccessible::Text t, const QString& own) {
    const TDescription* d = DescriptionOf(self.object());
    if (!d || (t != QAccessible::Name && t != QAccessible::Description))
        return own;
    if (t == QAccessible::Name)
        return d->Name;
    return d->Words ? d->Words() : d->Description;
}

class TSwitchAccessible : public QAccessibleWidget {
public:
    explicit TSwitchAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        return DescribedText(*this, t, QAccessibleWidget::text(t));
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        if (const TDescription* d = DescriptionOf(object()))
            s.checked = d->Checked && d->Checked();
        return s;
    }

    QStringList actionNames() const override { return {toggleAction(), pressAction()}; }

    void doAction(const QString& actionName) override {
        const TDescription* d = DescriptionOf(object());
        if (d && d->Toggle && (actionName == toggleAction() || actionName == pressAction()))
            d->Toggle();
    }
};

class TDrawingAccessible : public QAccessibleWidget {
public:
    explicit TDrawingAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Graphic) {}

    QString text(QAccessible::Text t) const override {
        return DescribedText(*this, t, QAccessibleWidget::text(t));
    }
};

QAccessibleInterface* Factory(const QString& /*className*/, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    const TDescription* d = DescriptionOf(object);
    if (!d)
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (d->Toggle)
        return new TSwitchAccessible(widget);
    return new TDrawingAccessible(widget);
}

void Describe(QWidget* widget, TDescription description) {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
    // Once a widget, before anything asks for its interface: one made
    // earlier would stay the plain one.
    Q_ASSERT(!Descriptions().contains(widget));
    Descriptions().insert(widget, std::move(description));
    QObject::connect(widget, &QObject::destroyed, [widget] { Descriptions().remove(widget); });
}

} // namespace

void DescribeSwitch(QWidget* widget, const QString& name, const QString& description,
                    std::function<bool()> checked, std::function<void()> toggle) {
    Describe(widget, {name, description, std::move(checked), std::move(toggle), {}});
}

void DescribeDrawing(QWidget* widget, const QString& name, std::function<QString()> describe) {
    Describe(widget, {name, QString(), {}, {}, std::move(describe)});
}

void NotifySwitched(QWidget* widget) {
    if (!QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(widget, changed);
    QAccessible::updateAccessibility(&event);
}

void NotifyDrawingChanged(QWidget* widget) {
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace stakko
