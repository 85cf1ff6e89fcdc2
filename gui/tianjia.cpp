#include "tianjia.h"

#include "Guarded.h"
#include "WindowLook.h"
#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

QLabel* label(const QString& text, QWidget* parent, int left, int top)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(left, top, 48, 20);
    return l;
}

} // namespace

TForm7::TForm7(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("搜索引擎"));
    setFont(WindowLook::SongFont());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowModality(Qt::WindowModal);
    setFixedSize(400, 190);
    WindowLook::UsePalette(this);
    WindowLook::SetBackground(this, WindowLook::Background());

    label(QStringLiteral("名称："), this, 16, 14);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setGeometry(64, 14, 320, 20);
    m_name->setMaxLength(UserEngineCheck::MaxLength + 1);
    label(QStringLiteral("网址："), this, 16, 44);
    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("address"));
    m_address->setGeometry(64, 44, 320, 20);
    m_address->setMaxLength(UserEngineCheck::MaxLength + 1);
    m_address->setPlaceholderText(QStringLiteral("https://www.bing.com/search?q=%s"));
    label(QStringLiteral("编码："), this, 16, 74);
    m_charset = new QComboBox(this);
    m_charset->setObjectName(QStringLiteral("charset"));
    m_charset->setEditable(true);
    m_charset->setInsertPolicy(QComboBox::NoInsert);
    m_charset->addItems({QStringLiteral("UTF-8"), QStringLiteral("GB18030"), QStringLiteral("GBK"),
                         QStringLiteral("BIG5"), QStringLiteral("Shift_JIS"), QStringLiteral("EUC-KR")});
    m_charset->setGeometry(64, 74, 120, 20);
    m_tick = new TXP_CheckBox(this);
    m_tick->setObjectName(QStringLiteral("tick"));
    m_tick->setGeometry(200, 76, 120, 17);
    m_tick->SetCaption(QStringLiteral("启动时勾选"));
    m_tick->SetColor(15136504);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setGeometry(16, 100, 368, 40);
    m_problem->setWordWrap(true);
    QPalette red = m_problem->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    m_problem->setPalette(red);

    auto* ok = new TXP_Button(this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->SetCaption(QStringLiteral("确定"));
    ok->setGeometry(104, 152, 75, 24);
    ok->SetDefault(true);
    auto* cancel = new TXP_Button(this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->SetCaption(QStringLiteral("取消"));
    cancel->setGeometry(220, 152, 75, 24);
    cancel->SetCancel(true);
    connect(ok, &TXP_Button::OnClick, this, Guarded([this] { OkClick(); }));
    connect(cancel, &TXP_Button::OnClick, this, Guarded([this] { CancelClick(); }));
    setTabOrder(m_name, m_address);
    setTabOrder(m_address, m_charset);
    setTabOrder(m_charset, m_tick);
    setTabOrder(m_tick, ok);
    setTabOrder(ok, cancel);
}

void TForm7::Edit(const UserEngine& engine)
{
    m_name->setText(engine.name);
    m_address->setText(engine.address);
    m_charset->setCurrentText(engine.charset);
    m_tick->SetChecked(engine.checkedAtStart);
    m_problem->clear();
    open();
    m_name->setFocus();
}

UserEngine TForm7::Engine() const
{
    UserEngine engine;
    engine.name = m_name->text().trimmed();
    engine.address = m_address->text().trimmed();
    engine.charset = m_charset->currentText().trimmed();
    engine.checkedAtStart = m_tick->Checked();
    return engine;
}

QString TForm7::Problem() const
{
    return m_problem->text();
}

void TForm7::OkClick()
{
    const UserEngine engine = Engine();
    if (const std::optional<EngineProblem> problem = UserEngineCheck::problemOf(engine)) {
        m_problem->setText(problem->message);
        QLineEdit* field = problem->field == EngineProblem::Field::Name      ? m_name
                           : problem->field == EngineProblem::Field::Address ? m_address
                                                                             : m_charset->lineEdit();
        field->setFocus();
        return;
    }
    hide();
    Q_EMIT Accepted(engine);
}

void TForm7::CancelClick()
{
    hide();
}
