#pragma once
// The dialog that asks the maker of a new record for a name. It has no
// cancel button and cannot be dismissed otherwise: OK alone closes it, and
// OK is what stores the record (name and points) in the settings, so a
// record is never half stored. The main window makes it once and shows it
// for every record; PlaceWinnerForm puts it over the main window.

#include <QDialog>

#include <memory>

class QCloseEvent;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace Ui {
class TWinnerForm;
}

namespace stakko {

class TScoreObj;

class TWinnerForm : public QDialog {
    Q_OBJECT
public:
    // `score` carries the record that OK stores and shows; it outlives the
    // dialog.
    explicit TWinnerForm(TScoreObj& score, QWidget* parent = nullptr);
    ~TWinnerForm() override;

    [[nodiscard]] QLineEdit* WinnerNameEdit() const;
    [[nodiscard]] QPushButton* BitBtn1() const;

    // OK: the name is taken, name and points are written to the settings
    // (and saved at once), and the side panel shows the new record.
    void BitBtn1Click();

public slots:
    // There is nothing to cancel: Escape leaves the dialog open.
    void reject() override;

protected:
    // Nor does the window manager's close: only OK closes the dialog.
    void closeEvent(QCloseEvent* event) override;
    // The dialog takes its font when it is shown: the font is a file of
    // its own to load, and most games never show the dialog.
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TWinnerForm> FUi;
    TScoreObj& FScoreObj;
};

// The top left corner for a dialog of frame size `dialog` centred over the
// frame rectangle `mainWindow`, each axis by itself kept on `screen`: a
// dialog that would cross the far edge goes 20 pixels inside it, one that
// would start before the near edge starts 20 pixels inside that one.
//   WinnerFormPlace({900, 100, 300, 400}, {431, 130}, {0, 0, 1024, 768})
//       == QPoint(573, 235)
[[nodiscard]] QPoint WinnerFormPlace(const QRect& mainWindow, const QSize& dialog,
                                     const QRect& screen);

// Moves `dialog` to its place over `mainWindow` on the primary screen.
void PlaceWinnerForm(const QWidget& mainWindow, QWidget& dialog);

} // namespace stakko
