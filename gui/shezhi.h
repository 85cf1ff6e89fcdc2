#pragma once

#include <QDialog>

#include <memory>

class SettingsStore;
namespace Ui {
class TForm3;
}

// The settings dialog: start at login, and which browser gets the results.
// It loads the stored settings once, when it is created, and writes them on "保存".
class TForm3 final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm3)
public:
    // programPath is what "开机时自动运行" starts; empty means this program.
    explicit TForm3(SettingsStore& settings, QString programPath = QString(), QWidget* parent = nullptr);
    ~TForm3() override;

    void ShowOnPage(int pageIndex);   // 0 "系统设置", 1 "搜索设置"

    void b1Click();   // 保存
    void b2Click();   // 退出

private:
    void FormCreate();

    std::unique_ptr<Ui::TForm3> m_ui;
    SettingsStore& m_settings;
    QString m_programPath;
};
