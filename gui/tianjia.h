#pragma once

#include "UserEngine.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class TXP_Button;
class TXP_CheckBox;

// The form "搜索引擎": one engine of the user's, to add or to change. "确定" takes only an engine
// that can be stored; otherwise it says what to change and keeps what was typed.
class TForm7 final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm7)
public:
    explicit TForm7(QWidget* parent = nullptr);

    // Opens the form (window-modal, without blocking) with the engine's fields.
    void Edit(const UserEngine& engine);
    UserEngine Engine() const;

    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* AddressEdit() const { return m_address; }
    QComboBox* CharsetBox() const { return m_charset; }
    TXP_CheckBox* TickBox() const { return m_tick; }
    QString Problem() const;

    void OkClick();     // 确定
    void CancelClick(); // 取消

Q_SIGNALS:
    void Accepted(const UserEngine& engine);

private:
    QLineEdit* m_name;
    QLineEdit* m_address;
    QComboBox* m_charset;
    TXP_CheckBox* m_tick;
    QLabel* m_problem;
};
