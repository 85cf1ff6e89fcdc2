#include "obout.h"

#include "Guarded.h"
#include "WindowLook.h"
#include "controls/XP_Button.h"
#include "controls/XP_Url.h"
#include "ui_obout.h"

namespace {

int gbkWidth(QChar c)
{
    return c.unicode() < 0x80 ? 1 : 2;
}

bool isWordChar(QChar c)
{
    return c.unicode() < 0x80 && c.isLetterOrNumber();
}

} // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::TForm2>())
{
    WindowLook::SetUpDialog(this, QSize(446, 292), [this] { m_ui->setupUi(this); });
    WindowLook::SetBackground(this, WindowLook::Background());
    WindowLook::SetBackground(m_ui->Panel1, WindowLook::Background());

    QFont bold = font();
    bold.setBold(true);
    m_ui->Label1->setFont(bold);
    m_ui->Label1->adjustSize();
    m_ui->Label2->adjustSize();

    QPalette memo = m_ui->Memo1->palette();
    memo.setColor(QPalette::Base, WindowLook::Background());
    m_ui->Memo1->setPalette(memo);
    m_ui->Memo1->setPlainText(WrapParagraphs(Description()).join(QLatin1Char('\n')));

    connect(m_ui->b1, &TXP_Button::OnClick, this, Guarded([this] { b1Click(); }));
}

TForm2::~TForm2() = default;

void TForm2::b1Click()
{
    close();
}

QStringList TForm2::Description()
{
    return {
        QStringLiteral("本软件能运行于Win/9X和2000系列平台。QUELM搜索寻踪客是连接个人用户与各大网站的"
                       "桥梁：只需输入一次要找的内容，勾选想用的搜索引擎，按下“一 搜 到 底”，各个引擎的"
                       "结果页面便一起打开，省去逐个网站输入的麻烦。"),
        QStringLiteral("软件收录了二十九个常用的搜索引擎，分为综合、娱乐、软件和其它四页：网页、歌曲、"
                       "歌词、Flash、软件下载、FTP文件、编程资料、电脑书籍和游戏，一应俱全。"),
        QStringLiteral("搜索结果既可以在您常用的浏览器中打开，也可以在本软件自带的Quelm浏览器中打开，"
                       "在“设置”菜单中随时切换。窗口最小化时程序隐藏到系统托盘，随叫随到。"),
        QStringLiteral("欢迎访问我们的网站，获取更多的quelm软件。"),
    };
}

QStringList TForm2::WrapParagraphs(const QStringList& paragraphs, int maxBytes)
{
    QStringList lines;
    for (const QString& paragraph : paragraphs) {
        QString line = QStringLiteral("  ");
        int width = 2;
        int i = 0;
        while (i < paragraph.size()) {
            // The next unit: a whole ASCII word, or one character.
            int end = i + 1;
            if (isWordChar(paragraph.at(i)))
                while (end < paragraph.size() && isWordChar(paragraph.at(end)))
                    ++end;
            int unitWidth = 0;
            for (int k = i; k < end; ++k)
                unitWidth += gbkWidth(paragraph.at(k));
            if (unitWidth > maxBytes)
                end = i + 1, unitWidth = gbkWidth(paragraph.at(i));   // a word longer than a line is cut
            if (width + unitWidth > maxBytes) {
                lines.append(line);
                line.clear();
                width = 0;
                if (paragraph.at(i) == QLatin1Char(' ')) {   // no blank at the start of a wrapped line
                    ++i;
                    continue;
                }
            }
            line += paragraph.mid(i, end - i);
            width += unitWidth;
            i = end;
        }
        if (!line.trimmed().isEmpty())
            lines.append(line);
    }
    return lines;
}
