#pragma once

#include <QString>

#include <functional>

// The application's standard error box: every error that ends an event handler
// is shown here, with the application title as caption, an error icon and OK.
namespace ErrorBox {

// The text as the box shows it: a "." is appended when the last character
// sorts after ".", so "…失败" gains a full stop but "…!" does not; nor does a
// text that ends like a Chinese sentence ("。", "！", "？").
QString DisplayText(const QString& message);

// Shows the box (modal). Tests replace the presenter so that nothing blocks.
void Show(const QString& message);

using Presenter = std::function<void(const QString& caption, const QString& text)>;
void SetPresenter(Presenter presenter);   // an empty presenter restores the real box

} // namespace ErrorBox
