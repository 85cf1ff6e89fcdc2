#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui {
class TForm2;
}

// The about box: product name, version, a description and the link to the
// maker's download page.
class TForm2 final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm2)
public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    void b1Click();

    // Paragraphs hard-wrapped into lines of at most maxBytes in GBK (a CJK
    // character counts two), each paragraph indented by two blanks, so that
    // no line wraps in the memo. ASCII words are kept whole where they fit.
    static QStringList WrapParagraphs(const QStringList& paragraphs, int maxBytes = 48);
    static QStringList Description();

private:
    std::unique_ptr<Ui::TForm2> m_ui;
};
