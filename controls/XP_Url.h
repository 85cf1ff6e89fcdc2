#pragma once

// The hyperlink label: a one-line caption, optionally after a small picture, underlined in the
// link colours, with the hand cursor while the pointer is over it. It has no background of its
// own (the parent shows through) and sizes its width to the caption each time it paints.

#include "controls/TControl.h"
#include "controls/XP_Unit.h"

#include <QImage>

class TXP_Url final : public TControl
{
    Q_OBJECT
    Q_PROPERTY(bool Visited READ Visited)
    Q_PROPERTY(QString Url READ Url WRITE SetUrl)
    Q_PROPERTY(QImage Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(int PicOffSet READ PicOffSet WRITE SetPicOffSet)
    Q_PROPERTY(int LineOffSet READ LineOffSet WRITE SetLineOffSet)
    Q_PROPERTY(quint32 HoverColor READ HoverColor WRITE SetHoverColor)
    Q_PROPERTY(quint32 VisitedColor READ VisitedColor WRITE SetVisitedColor)
    Q_PROPERTY(bool UnderLine READ UnderLine WRITE SetUnderLine)
    Q_PROPERTY(bool PicTrans READ PicTrans WRITE SetPicTrans)
    Q_PROPERTY(quint32 PicTransColor READ PicTransColor WRITE SetPicTransColor)

public:
    explicit TXP_Url(QWidget* parent = nullptr);

    QString Url() const { return m_url; }
    void SetUrl(const QString& url) { m_url = url; }
    QImage Picture() const { return m_picture; }
    void SetPicture(const QImage& picture)
    {
        m_picture = picture;
        repaint();
    }
    int PicOffSet() const { return m_picOffSet; }
    void SetPicOffSet(int offset) { Change(m_picOffSet, offset); }
    int LineOffSet() const { return m_lineOffSet; }
    void SetLineOffSet(int offset) { Change(m_lineOffSet, offset); }
    // The colours take effect at the next drawing.
    TColor HoverColor() const { return m_hoverColor; }
    void SetHoverColor(TColor color) { m_hoverColor = color; }
    TColor VisitedColor() const { return m_visitedColor; }
    void SetVisitedColor(TColor color) { m_visitedColor = color; }
    bool UnderLine() const { return m_underLine; }
    void SetUnderLine(bool underLine) { Change(m_underLine, underLine); }
    bool PicTrans() const { return m_picTrans; }
    void SetPicTrans(bool picTrans) { Change(m_picTrans, picTrans); }
    TColor PicTransColor() const { return m_picTransColor; }
    void SetPicTransColor(TColor color) { Change(m_picTransColor, color); }
    // True from the first use of the link on.
    bool Visited() const { return m_visited; }

    // Marks the label visited and opens Url through the current LinkOpener: "http://" and
    // "https://" addresses as they are, anything with an "@" as a mail link, the path of an
    // existing file as that file. Anything else does nothing. Errors of the opener pass on.
    void OpenLink();
    // Paints the label now, in the hover colour or not.
    void DrawLink(bool hover);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void MouseEnter() override;
    void MouseLeave() override;
    // As a left click: the link opens, then OnClick.
    void Activate() override;
    bool DialogChar(QChar character) override;

private:
    // Returns the width of the caption as shown, which the label sizes itself by.
    int Paint(QPainter& painter, bool hover);

    QString m_url;
    QImage m_picture;
    int m_picOffSet = 0;
    int m_lineOffSet = 0;
    TColor m_hoverColor = clRed;
    TColor m_visitedColor = clPurple;
    bool m_underLine = true;
    bool m_picTrans = false;
    TColor m_picTransColor = clBlack;
    bool m_visited = false;
    bool m_clickStarted = false;
    bool m_hoverPaint = false;

    Q_DISABLE_COPY_MOVE(TXP_Url)
};

// The three ways a link is handed over; each goes through CurrentLinkOpener().
void OpenUrlInExplorer(const QString& url);
void ShellRun(const QString& text);
void ShellOpenFile(const QString& path);
