#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class WebBrowserControl;

namespace Ui {
class TForm5;
}

// Form5 "Quelm浏览器": an address bar over the browser control. The address
// box and the caption never follow the page; the window remembers nothing
// but the text of Edit1.
class TForm5 final : public QWidget
{
    Q_OBJECT
public:
    // Takes ownership of the control and places it inside Panel1.
    explicit TForm5(WebBrowserControl* wb, QWidget* parent = nullptr);
    ~TForm5() override;
    Q_DISABLE_COPY_MOVE(TForm5)

    static QString HomePage();

    // Visible and in front; centred the first time, where it was left later.
    void Show();
    WebBrowserControl* wb() const { return m_wb; }

public slots:
    void goClick();
    void sb1Click();
    void SpeedButton1Click();

private:
    std::unique_ptr<Ui::TForm5> m_ui;
    WebBrowserControl* m_wb = nullptr;
};
