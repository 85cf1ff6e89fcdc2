#pragma once

// The skinned controls at their sizes and captions in the program's windows, in the looks a user
// meets, each on a fresh shown form with a fixed light palette. Used by the pixel comparisons at
// ratio 1 (against committed reference images) and at device pixel ratio 2.

#include "ControlTestSupport.h"

#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"
#include "controls/XP_RadioBox.h"
#include "controls/XP_Url.h"

#include <QPalette>

#include <functional>
#include <memory>
#include <vector>

namespace ControlTest {

struct Scene
{
    const char* name;
    // Makes the control on the shown form and brings it into its look; the last paint is the look.
    std::function<QWidget*(Form&)> make;
};

inline QPalette LightPalette()
{
    QPalette palette(QColor(0xEC, 0xE9, 0xD8), QColor(248, 246, 230));
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, Qt::black);
    return palette;
}

inline QImage TestPicture()
{
    QImage picture(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            picture.setPixel(x, y, qRgb(200, 10 * x, 10 * y));
    picture.setPixel(0, 15, qRgb(1, 2, 3));
    return picture;
}

template <class Control>
Control* Place(Form& form, QRect geometry, const char* caption)
{
    auto* control = new Control(&form);
    control->setGeometry(geometry);
    control->SetCaption(QString::fromUtf8(caption));
    control->show();
    control->repaint();
    control->repaint();  // a label sizes itself as it paints
    return control;
}

inline std::vector<Scene> Scenes()
{
    const QRect go(10, 10, 161, 32), b1(10, 10, 75, 24), google(8, 6, 89, 17), xb2(32, 24, 161, 17),
        link(104, 256, 138, 17);
    const char* search = "一 搜 到 底";
    const char* builtIn = "每次搜索调用QUELM浏览器";
    const char* more = "欢迎使用更多的quelm软件";
    using B = TXP_Button;
    return {
        {"button-normal", [=](Form& f) { return Place<B>(f, go, search); }},
        {"button-focused", [=](Form& f) { auto* c = Place<B>(f, go, search); c->setFocus(); return c; }},
        {"button-hot", [=](Form& f) { auto* c = Place<B>(f, go, search); c->DrawState(B::blHot); return c; }},
        {"button-pressed", [=](Form& f) { auto* c = Place<B>(f, go, search); c->DrawState(B::blPressed); return c; }},
        {"button-disabled", [=](Form& f) { auto* c = Place<B>(f, go, search); c->setEnabled(false); return c; }},
        {"button-small", [=](Form& f) { return Place<B>(f, b1, "确定"); }},
        {"button-picture-top",
         [=](Form& f) { auto* c = Place<B>(f, b1, "确定"); c->SetPicture(TestPicture()); return c; }},
        {"button-picture-left-disabled",
         [=](Form& f) {
             auto* c = Place<B>(f, b1, "&Save");
             c->SetPicPos(B::pLeft);
             c->SetPicture(TestPicture());
             c->setEnabled(false);
             return c;
         }},
        {"button-picture-left-trans",
         [=](Form& f) {
             auto* c = Place<B>(f, b1, "&Save");
             c->SetPicPos(B::pLeft);
             c->SetPicTrans(true);
             c->SetPicTransColor(RGBToColor(qRgb(200, 30, 40)));
             c->SetPicture(TestPicture());
             return c;
         }},
        {"checkbox-normal", [=](Form& f) { return Place<TXP_CheckBox>(f, google, "Google搜索"); }},
        {"checkbox-checked-focused",
         [=](Form& f) {
             auto* c = Place<TXP_CheckBox>(f, google, "Google搜索");
             c->SetChecked(true);
             c->setFocus();
             return c;
         }},
        {"checkbox-hot", [=](Form& f) { auto* c = Place<TXP_CheckBox>(f, google, "&Google"); c->DrawState(5); return c; }},
        {"checkbox-disabled-checked",
         [=](Form& f) {
             auto* c = Place<TXP_CheckBox>(f, {40, 64, 121, 17}, "开机时自动运行");
             c->SetChecked(true);
             c->setEnabled(false);
             return c;
         }},
        {"radiobox-normal", [=](Form& f) { return Place<TXP_RadioBox>(f, xb2, builtIn); }},
        {"radiobox-checked-focused",
         [=](Form& f) {
             auto* c = Place<TXP_RadioBox>(f, xb2, builtIn);
             c->SetChecked(true);
             c->setFocus();
             return c;
         }},
        {"radiobox-hot-checked",
         [=](Form& f) {
             auto* c = Place<TXP_RadioBox>(f, {32, 80, 153, 17}, "每次搜索调用 IE  浏览器");
             c->SetChecked(true);
             c->DrawState(6);
             return c;
         }},
        {"radiobox-disabled", [=](Form& f) { auto* c = Place<TXP_RadioBox>(f, xb2, builtIn); c->setEnabled(false); return c; }},
        {"url-normal", [=](Form& f) { return Place<TXP_Url>(f, link, more); }},
        {"url-hover", [=](Form& f) { auto* c = Place<TXP_Url>(f, link, more); c->DrawLink(true); return c; }},
        {"url-visited-underlined-accelerator",
         [=](Form& f) {
             auto* c = Place<TXP_Url>(f, link, "&Quelm && more");
             c->SetLineOffSet(1);
             c->OpenLink();
             c->repaint();
             return c;
         }},
        {"url-picture-disabled",
         [=](Form& f) {
             auto* c = Place<TXP_Url>(f, link, more);
             c->SetPicture(TestPicture());
             c->SetPicTrans(true);
             c->setEnabled(false);
             return c;
         }},
    };
}

// A form for one scene: the program's font, a fixed light palette, shown and active.
inline std::unique_ptr<Form> SceneForm()
{
    auto form = std::make_unique<Form>();
    form->setPalette(LightPalette());
    form->setAutoFillBackground(true);
    return form;
}

} // namespace ControlTest
