#include "ui/FormState.h"

#include "settings/QZ_UsrSettings.h"
#include "ui/ScreenFit.h"

#include <QFont>
#include <QGuiApplication>
#include <QMetaObject>
#include <QRect>
#include <QVariant>
#include <QWidget>

#include <climits>
#include <cstdlib>

namespace qz {

namespace {

const QString KeyLeft = QStringLiteral("Left");
const QString KeyTop = QStringLiteral("Top");
const QString KeyWidth = QStringLiteral("Width");
const QString KeyHeight = QStringLiteral("Height");
const QString KeyWinState = QStringLiteral("WinState");
const QString KeyCharSet = QStringLiteral("CharSet");
// Key matching ignores case: the font keys are read in capitals and written
// in the spelling existing files carry.
const QString KeyFontRead = QStringLiteral("FONT");
const QString KeyFontWritten = QStringLiteral("Font");
const QString KeyFontSizeRead = QStringLiteral("FONTSIZE");
const QString KeyFontSizeWritten = QStringLiteral("Fontsize");
const QString KeyFontStyleRead = QStringLiteral("FONTSTYLE");
const QString KeyFontStyleWritten = QStringLiteral("Fontstyle");

constexpr Qt::WindowStates SizeStates =
    Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

TWindowState WindowStateOf(const QWidget* form) {
    const Qt::WindowStates s = form->windowState();
    if (s & Qt::WindowMinimized)
        return wsMinimized;
    // A full-screen window is the nearest thing to a maximized one.
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return wsMaximized;
    return wsNormal;
}

// Size and position are only meaningful for a window the user can see in
// its normal state. Qt hides a window before destroying it, and a window
// still being built is not yet shown, so visibility covers both.
bool HasNormalBounds(const QWidget* form) {
    return form->isVisible() && (form->windowState() & SizeStates) == 0;
}

// Wayland tells no window where it is (a window's position reads 0, 0), so
// there the position stored on another desktop is kept, not overwritten.
bool PlatformKnowsWindowPositions() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

TFontStyle FontStyleOf(const QFont& f) {
    TFontStyle style;
    style.setFlag(fsBold, f.bold());
    style.setFlag(fsItalic, f.italic());
    style.setFlag(fsUnderline, f.underline());
    style.setFlag(fsStrikeOut, f.strikeOut());
    return style;
}

// Positive sizes are points, negative ones pixels.
int FontSize(const QFont& f) {
    return f.pointSize() > 0 ? f.pointSize() : -f.pixelSize();
}

// Font sizes a window can still be read in, in points or pixels.
constexpr int SmallestFontSize = 6;
constexpr int LargestFontSize = 72;

// The smallest size that shows the window's contents: what its layout
// needs, or, for controls placed by hand, the room to where they reach.
QSize SmallestLayout(const QWidget* form) {
    const QSize hint = form->minimumSizeHint();
    QSize smallest = form->minimumSize();
    if (hint.isValid()) {
        smallest = smallest.expandedTo(hint);
    } else {
        const QRect children = form->childrenRect();
        if (!children.isEmpty())
            smallest = smallest.expandedTo(QSize(children.right() + 1, children.bottom() + 1));
    }
    return smallest;
}

// A stored size of 0 or below would give a window nobody can see - and a
// maximised one never writes its normal size again, so every later start
// would be invisible too. Such a value keeps the window's own; any size is
// raised to the smallest layout.
QSize RestorableSize(const QWidget* form, int width, int height) {
    const QSize size(width > 0 ? width : form->width(), height > 0 ? height : form->height());
    return size.expandedTo(SmallestLayout(form));
}

int CharSetOf(const QWidget* form) {
    const QVariant v = form->property(CharSetProperty);
    return v.isValid() ? v.toInt() : 0;
}

void ApplyFont(QWidget* form, TUserSettings& s, const QString& section) {
    QFont font = form->font();
    const QString family = s.readString(section, KeyFontRead, font.family());
    const int size = s.readInteger(section, KeyFontSizeRead, FontSize(font));

    // Only the four style bits are known; anything else means a damaged
    // value, and the font falls back to plain.
    const quint16 storedStyle =
        quint16(s.readInteger(section, KeyFontStyleRead, FontStyleOf(font).toInt()));
    const TFontStyle style = TFontStyle::fromInt(storedStyle < 16 ? storedStyle : 0);

    const quint32 storedCharSet = quint32(s.readInteger(section, KeyCharSet, 0));
    const int charSet = storedCharSet <= 255 ? int(storedCharSet) : 0;

    if (!family.isEmpty())
        font.setFamily(family);
    // A size nobody could read with (0 included) keeps the window's own.
    const bool readable =
        size != INT_MIN && std::abs(size) >= SmallestFontSize && std::abs(size) <= LargestFontSize;
    if (readable && size > 0)
        font.setPointSize(size);
    else if (readable)
        font.setPixelSize(-size);
    font.setBold(style.testFlag(fsBold));
    font.setItalic(style.testFlag(fsItalic));
    font.setUnderline(style.testFlag(fsUnderline));
    font.setStrikeOut(style.testFlag(fsStrikeOut));
    // Setting an unchanged font would still mark it as the window's own and
    // stop it from following the application font.
    if (font != form->font())
        form->setFont(font);
    form->setProperty(CharSetProperty, charSet);
}

} // namespace

QString FormSectionName(const QWidget* form) {
    QString name = QString::fromLatin1(form->metaObject()->className());
    const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
    if (colons >= 0)
        name = name.mid(colons + 2);
    return name.mid(1);
}

TWindowState RestoreFormState(QWidget* form, const QString& section) {
    QRect bounds;
    TWindowState state = wsNormal;
    TUserSettings* s = UserSettings();
    if (!s) {
        bounds = FitRectToScreen(QRect(form->pos(), form->size()));
    } else {
        const int left = s->readInteger(section, KeyLeft, form->x());
        const int top = s->readInteger(section, KeyTop, form->y());
        const int width = s->readInteger(section, KeyWidth, form->width());
        const int height = s->readInteger(section, KeyHeight, form->height());
        const QSize size = RestorableSize(form, width, height);
        bounds = FitRectToScreen(left, top, size.width(), size.height(), GetVirtualScreenRect());
        ApplyFont(form, *s, section);
        // A window closed minimized comes back normal.
        if (s->readInteger(section, KeyWinState, wsNormal) == wsMaximized)
            state = wsMaximized;
    }
    form->move(bounds.topLeft());
    form->resize(bounds.size());
    const Qt::WindowStates others = form->windowState() & ~SizeStates;
    form->setWindowState(state == wsMaximized ? others | Qt::WindowMaximized : others);
    return state;
}

TWindowState RestoreFormStateByClass(QWidget* form) {
    return RestoreFormState(form, FormSectionName(form));
}

void SaveFormState(const QWidget* form, TFormStateParts what, const QString& section) {
    TUserSettings* s = UserSettings();
    if (!s)
        return;
    if (what.testFlag(wpFont)) {
        const QFont font = form->font();
        s->writeString(section, KeyFontWritten, font.family());
        s->writeInteger(section, KeyFontSizeWritten, std::abs(FontSize(font)));
        s->writeInteger(section, KeyFontStyleWritten, FontStyleOf(font).toInt());
        s->writeInteger(section, KeyCharSet, CharSetOf(form));
    }
    if (what.testFlag(wpSizeAndState)) {
        if (form->isVisible())
            s->writeInteger(section, KeyWinState, WindowStateOf(form));
        if (HasNormalBounds(form)) {
            s->writeInteger(section, KeyWidth, form->width());
            s->writeInteger(section, KeyHeight, form->height());
        }
    }
    if (what.testFlag(wpPosition) && HasNormalBounds(form) && PlatformKnowsWindowPositions()) {
        s->writeInteger(section, KeyLeft, form->x());
        s->writeInteger(section, KeyTop, form->y());
    }
}

void SaveFormStateByClass(const QWidget* form, TFormStateParts what) {
    SaveFormState(form, what, FormSectionName(form));
}

} // namespace qz
