// Dialog templates turned into widgets: the control panel as a child bar, the About box as a modal
// dialog. Positions and sizes are in dialog units, converted with the base units of the
// template's font as the native dialog manager does.
#pragma once

#include <QDialog>
#include <QFont>
#include <QMetaObject>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/resources/resource_types.h"

// Bar style: a border line along the bar's right edge, outside its template.
constexpr unsigned CBRS_BORDER_RIGHT = 0x0400;

namespace kavelo::platform::widgets {

struct DialogBaseUnits {
    int x;
    int y;
};

// The template's font asked for by name, with a sans-serif hint so that the platform's fallback
// applies when the face does not exist.
QFont DialogFont(const char* name, int pointSize);

// x: the average advance of the 52 letters A-Z a-z, rounded as the native dialog manager does;
// y: the font's height.
DialogBaseUnits BaseUnitsForFont(const QFont& font);

// x and width scale by b.x / 4, y and height by b.y / 8, each rounded to the nearest pixel with
// halves away from zero.
QRect DialogUnitsToPixels(const DialogBaseUnits& b, int x, int y, int w, int h);

// The widgets a template made, by id and in template order; statics and group boxes have id -1.
class DialogControls {
  public:
    // Builds every control as a child of `host`, at its rectangle, with its text, style,
    // visibility and enabled state. `host` takes the template's font. Icons get their pixmap from
    // `icons` when it is given.
    DialogControls(const kavelo::resources::DialogTemplate& t, QWidget* host,
                   const std::function<QPixmap(const char* iconName)>& icons = {});
    ~DialogControls();
    DialogControls(const DialogControls&) = delete;
    DialogControls& operator=(const DialogControls&) = delete;

    QWidget* Item(int id) const;  // first control with that id, or null
    const std::vector<QWidget*>& InOrder() const { return m_widgets; }
    int IdAt(std::size_t index) const { return m_ids[index]; }
    QSize PixelSize() const { return m_pixelSize; }  // the template's width and height
    DialogBaseUnits BaseUnits() const { return m_base; }

    std::function<void(unsigned)> onCommand;  // a push button's click issues its id

    std::string GetDlgItemText(int id) const;            // UTF-8
    void SetDlgItemText(int id, std::string_view text);  // UTF-8, never filtered by digits-only

  private:
    std::vector<QWidget*> m_widgets;
    std::vector<int> m_ids;
    std::vector<QMetaObject::Connection> m_connections;
    DialogBaseUnits m_base{};
    QSize m_pixelSize;
};

// A child dialog (the control panel): no caption or border, fixed to its template's pixel width
// plus the border lines its bar style asks for.
// Tab and Shift+Tab cycle through the visible enabled tab stops in template order inside it;
// Enter and Esc in a field do nothing, Enter on a focused push button clicks it.
class DialogBar : public QWidget {
    Q_OBJECT
  public:
    explicit DialogBar(const kavelo::resources::DialogTemplate& t, QWidget* parent = nullptr);
    // Only CBRS_BORDER_RIGHT is drawn; the other bar styles change nothing here.
    void SetBarStyle(unsigned style);
    DialogControls& Controls() { return m_controls; }
    const DialogControls& Controls() const { return m_controls; }
    QSize sizeHint() const override;

  protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    int BorderWidth() const;

    DialogControls m_controls;
    unsigned m_barStyle = 0;
};

// A modal dialog (the About box): caption from the template with a close box and no minimise or
// maximise box, fixed size, the default push button is the dialog's default. A window manager
// that minimises it all the same (and its owner with it) sees both come back at once. IDOK accepts;
// IDCANCEL, Esc and the close box reject.
class TemplateDialog : public QDialog {
    Q_OBJECT
  public:
    TemplateDialog(const kavelo::resources::DialogTemplate& t, QWidget* parent,
                   std::function<QPixmap(const char* iconName)> icons = {});
    DialogControls& Controls() { return m_controls; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    DialogControls m_controls;
};

}  // namespace kavelo::platform::widgets
