#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/EditCommand.h"
#include "domain/entities/TextPosition.h"
#include "foundation/Uuid.h"
#include "presentation/viewmodels/runtime/Observable.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace vexel {

// The form behind the text inspector of one text clip: its text, size, font,
// colours, outline, box width and placement, which the controls edit freely,
// the font list's search, and on Apply the one edit that turns the clip into
// what the form shows. Made when the inspector opens and dropped when it
// closes; it never reads the clip again. GUI thread only.
class TextInspectorState : public QObject {
    Q_OBJECT

public:
    // A text longer than this in UTF-8 is refused.
    static constexpr std::size_t maxTextBytes = 500;
    // Box widths closer than this count as the same width.
    static constexpr double boxWidthTolerance = 0.001;

    // `fontFamilies`: the families the font list offers, the default font's
    // "" first (made once per process by the views).
    TextInspectorState(Clip clip, QStringList fontFamilies, QObject* parent = nullptr);

    // New for every form: the popover is keyed by it.
    const Uuid& id() const { return id_; }
    // The clip as it was when the form opened; a delete names its id.
    const Clip& originalClip() const { return originalClip_; }

    const std::string& text() const { return text_.get(); }
    void setText(std::string text) { text_.set(std::move(text)); }
    // Points.
    double fontSize() const { return fontSize_.get(); }
    void setFontSize(double size) { fontSize_.set(size); }
    // Colour names ("white").
    const std::string& textColor() const { return textColor_.get(); }
    void setTextColor(std::string color) { textColor_.set(std::move(color)); }
    const std::string& strokeColor() const { return strokeColor_.get(); }
    void setStrokeColor(std::string color) { strokeColor_.set(std::move(color)); }
    // 0 draws no outline.
    double strokeWidth() const { return strokeWidth_.get(); }
    void setStrokeWidth(double width) { strokeWidth_.set(width); }
    // "" is the default font.
    const std::string& fontName() const { return fontName_.get(); }
    void setFontName(std::string name) { fontName_.set(std::move(name)); }
    // A fraction of the frame's width.
    double boxWidth() const { return boxWidth_.get(); }
    void setBoxWidth(double width) { boxWidth_.set(width); }
    const TextPosition& position() const { return position_.get(); }
    void setPosition(TextPosition position) { position_.set(position); }
    const QString& fontSearchText() const { return fontSearchText_.get(); }
    void setFontSearchText(QString text) { fontSearchText_.set(std::move(text)); }
    bool showFontPicker() const { return showFontPicker_.get(); }
    void setShowFontPicker(bool show) { showFontPicker_.set(show); }

    // "Text cannot be empty." or "Text exceeds 500 byte limit."; none for a
    // text that may be applied.
    std::optional<std::string> textValidationError() const;

    // The families that contain the search text in any letter case, in list
    // order; without a search, all of them, the default font first.
    QStringList filteredFontFamilies() const;

    bool hasChanges() const;
    // The edit of the clip, carrying only the parts that differ: the text, the
    // placement, and the whole style when any of it differs.
    EditCommand::EditText buildEditCommand() const;
    // The edit, or nothing when nothing differs.
    std::vector<EditCommand> buildEditCommands() const;

signals:
    void textChanged();
    void fontSizeChanged();
    void textColorChanged();
    void strokeColorChanged();
    void strokeWidthChanged();
    void fontNameChanged();
    void boxWidthChanged();
    void positionChanged();
    void fontSearchTextChanged();
    void showFontPickerChanged();

private:
    std::optional<double> formBoxWidth() const;

    Uuid id_ = Uuid::random();
    Clip originalClip_;
    QStringList fontFamilies_;
    Observable<std::string> text_;
    Observable<double> fontSize_;
    Observable<std::string> textColor_;
    Observable<std::string> strokeColor_;
    Observable<double> strokeWidth_;
    Observable<std::string> fontName_;
    Observable<double> boxWidth_;
    Observable<TextPosition> position_;
    Observable<QString> fontSearchText_;
    Observable<bool> showFontPicker_;
};

} // namespace vexel
