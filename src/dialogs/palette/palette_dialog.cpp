#include "dialogs/palette/palette_dialog.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/common/number_field.h"
#include "dialogs/palette/frame_preview.h"
#include "dialogs/palette/palette_swatches.h"
#include "editor/core/format.h"
#include "editor/core/messages.h"
#include "editor/core/prompter.h"
#include "editor/core/text_routines.h"
#include "editor/undo/palette_command.h"

namespace dialogs {

using editor::Format;

namespace {

struct ModeTexts {
    const char* Caption;
    const char* Instruction;
};

ModeTexts TextsOf(TPaletteMode mode) {
    switch (mode) {
    case pmGlobalPalette:
        return {"Global Palette",
                "Select a color from the color swatches to edit a global color value"};
    case pmTransparentColor:
        return {"Transparent Color", "Select a color from the color swatches or click on the image."};
    case pmChangeColor:
        return {"Change Color Value", "Adjust the Red, Green and Blue color values to change the color"};
    }
    return {"Palette", ""};
}

} // namespace

TfrmPalette::TfrmPalette(TPaletteMode mode, editor::IPrompter& prompter, QWidget* parent)
    : QDialog(parent), mode_(mode), prompter_(prompter) {
    setObjectName("frmPalette");
    const ModeTexts texts = TextsOf(mode);
    setWindowTitle(texts.Caption);
    auto* layout = new QVBoxLayout(this);
    lblInstruction = new QLabel(texts.Instruction);
    lblInstruction->setWordWrap(true);
    layout->addWidget(lblInstruction);

    auto* body = new QHBoxLayout;
    if (mode != pmChangeColor) {
        pbPalette = new TPaletteSwatches;
        body->addWidget(pbPalette, 0, Qt::AlignTop);
        connect(pbPalette, &TPaletteSwatches::Clicked, this, &TfrmPalette::SwatchClicked);
    }
    if (mode == pmTransparentColor) {
        imgFrame = new TFramePreview;
        body->addWidget(imgFrame, 0, Qt::AlignTop);
        connect(imgFrame, &TFramePreview::Clicked, this, &TfrmPalette::PickFromPicture);
    }
    shpPreview = new QFrame;
    shpPreview->setObjectName("shpPreview");
    shpPreview->setFrameShape(QFrame::Box);
    shpPreview->setFixedSize(48, 48);
    shpPreview->setAutoFillBackground(true);
    if (mode != pmTransparentColor) {
        pnlRGB = new QWidget;
        pnlRGB->setObjectName("pnlRGB");
        auto* grid = new QGridLayout(pnlRGB);
        const auto field = [&](const QString& caption, int row) {
            auto* number = new TNumberField(0, 255, 3, true);
            number->SetText("0");
            auto* label = new QLabel(caption);
            label->setBuddy(number->Edit());
            grid->addWidget(label, row, 0);
            grid->addWidget(number, row, 1);
            number->SetLeaveCheck([this](const QString& text) {
                if (!editor::IsValidIntegerEntry(text, true)) {
                    prompter_.Message(editor::TMessageKind::Error, Format(editor::msg::NotValidInteger, text));
                    return false;
                }
                if (text.trimmed().toInt() > 255) {
                    prompter_.Message(editor::TMessageKind::Error,
                                      Format("'%s' is not within the 0-255 range.", text));
                    return false;
                }
                return true;
            });
            // Steps of the up-down apply at once; typed text applies on Enter or leaving.
            connect(number, &TNumberField::Stepped, this, &TfrmPalette::ApplyColour);
            // Only while every field holds a colour value: a refused value elsewhere waits
            // for its message box, whose activation change ends this field's editing too.
            connect(number->Edit(), &QLineEdit::editingFinished, this, [this] {
                for (const TNumberField* f : {udRed, udGreen, udBlue})
                    if (!editor::IsNumeric(f->Text()) || f->Text().toInt() > 255) return;
                ApplyColour();
            });
            return number;
        };
        udRed = field("&Red", 0);
        udGreen = field("&Green", 1);
        udBlue = field("&Blue", 2);
        grid->addWidget(shpPreview, 0, 2, 3, 1);
        if (mode == pmGlobalPalette) {
            btnAdd = new QPushButton("Add Color");
            btnDelete = new QPushButton("Delete Color");
            btnAdd->setToolTip("Adds a color to the color palette");
            btnDelete->setToolTip("Deletes the selected color from the color palette");
            grid->addWidget(btnAdd, 3, 0, 1, 3);
            grid->addWidget(btnDelete, 4, 0, 1, 3);
            connect(btnAdd, &QPushButton::clicked, this, &TfrmPalette::AddColour);
            connect(btnDelete, &QPushButton::clicked, this, &TfrmPalette::DeleteColour);
        }
        body->addWidget(pnlRGB, 0, Qt::AlignTop);
    } else {
        body->addWidget(shpPreview, 0, Qt::AlignTop);
    }
    layout->addLayout(body);
    if (mode == pmTransparentColor) {
        auto* rule = new QFrame;
        rule->setFrameShape(QFrame::HLine);
        rule->setFrameShadow(QFrame::Sunken);
        layout->addWidget(rule);
    }
    auto* buttons = new QDialogButtonBox(this);
    btnOK = buttons->addButton(QDialogButtonBox::Ok);
    btnCancel = buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ShowColour(gif::clBlack);
}

TfrmPalette::~TfrmPalette() = default;

void TfrmPalette::SetTable(const gif::TGIFColorMap& table) {
    colors_.clear();
    for (const gif::TGIFColor& c : table.Entries()) colors_.push_back(gif::RGB(c.Red, c.Green, c.Blue));
    table_ = std::make_unique<editor::TCmdColorMap>();
    table_->CopyFrom(table);
    selected_ = 0;
    RefreshSwatches();
    if (!colors_.empty()) ShowColour(colors_[0]);
    UpdateButtons();
}

void TfrmPalette::SetFrame(int frameIndex, const QImage& picture, int transparentIndex) {
    frameIndex_ = frameIndex;
    picture_ = picture.convertToFormat(QImage::Format_RGB32);
    if (imgFrame) imgFrame->SetPicture(picture_);
    if (transparentIndex >= 0 && transparentIndex < int(colors_.size())) {
        selected_ = transparentIndex;
        picked_ = colors_[size_t(transparentIndex)];
        if (imgFrame) imgFrame->SetHiddenColour(ToQColor(picked_).rgb(), true);
    }
    RefreshSwatches();
    if (selected_ >= 0 && selected_ < int(colors_.size())) ShowColour(colors_[size_t(selected_)]);
}

void TfrmPalette::SetColour(gif::TColor colour) { ShowColour(colour); }

void TfrmPalette::ShowColour(gif::TColor colour) {
    preview_ = colour & 0xFFFFFF;
    QPalette shade = shpPreview->palette();
    shade.setColor(QPalette::Window, ToQColor(preview_));
    shpPreview->setPalette(shade);
    if (udRed) {
        udRed->SetValue(gif::GetRValue(preview_));
        udGreen->SetValue(gif::GetGValue(preview_));
        udBlue->SetValue(gif::GetBValue(preview_));
    }
}

void TfrmPalette::RefreshSwatches() {
    if (!pbPalette) return;
    pbPalette->SetColors(colors_);
    pbPalette->SetSelected(selected_);
}

void TfrmPalette::UpdateButtons() {
    if (!btnAdd) return;
    btnAdd->setEnabled(colors_.size() < 256);
    btnDelete->setEnabled(colors_.size() > 2);
}

void TfrmPalette::SwatchClicked(int index) {
    if (index >= int(colors_.size())) {
        if (btnDelete) btnDelete->setEnabled(false);
        return;
    }
    selected_ = index;
    pbPalette->SetSelected(index);
    ShowColour(colors_[size_t(index)]);
    if (mode_ == pmTransparentColor) {
        changed_ = true;
        picked_ = colors_[size_t(index)];
        imgFrame->SetHiddenColour(ToQColor(picked_).rgb(), true);
    }
    UpdateButtons();
}

void TfrmPalette::PickFromPicture(QPoint point) {
    if (!QRect(QPoint(0, 0), picture_.size()).contains(point)) return;
    const QColor colour(picture_.pixel(point));
    picked_ = gif::RGB(uint8_t(colour.red()), uint8_t(colour.green()), uint8_t(colour.blue()));
    changed_ = true;
    const auto found = std::find(colors_.begin(), colors_.end(), picked_);
    // A colour that no entry holds selects nothing: the caller must not store it as an index.
    selected_ = found == colors_.end() ? -1 : int(found - colors_.begin());
    if (selected_ >= 0 && pbPalette) pbPalette->SetSelected(selected_);
    imgFrame->SetHiddenColour(colour.rgb(), true);
    ShowColour(picked_);
}

void TfrmPalette::ApplyColour() {
    const gif::TColor colour = gif::RGB(uint8_t(udRed->Position()), uint8_t(udGreen->Position()),
                                        uint8_t(udBlue->Position()));
    ShowColour(colour);
    changed_ = true;
    if (mode_ == pmGlobalPalette && selected_ >= 0 && selected_ < int(colors_.size()) &&
        colors_[size_t(selected_)] != colour) {
        colors_[size_t(selected_)] = colour;
        table_->SetColorAt(selected_, colour);
        RefreshSwatches();
    }
}

void TfrmPalette::AddColour() {
    if (colors_.size() >= 256) {
        btnAdd->setEnabled(false);
        return;
    }
    colors_.push_back(gif::clWhite);
    table_->AppendColor(gif::clWhite);
    selected_ = int(colors_.size()) - 1;
    RefreshSwatches();
    ShowColour(gif::clWhite);
    changed_ = true;
    UpdateButtons();
}

void TfrmPalette::DeleteColour() {
    if (colors_.size() <= 2) {
        btnDelete->setEnabled(false);
        return;
    }
    if (selected_ < 0 || selected_ >= int(colors_.size())) return;
    const bool removable = !CanDelete || CanDelete(*table_, selected_);
    if (removable) {
        colors_.erase(colors_.begin() + selected_);
        table_->DeleteAt(selected_);
        deleted_.push_back(selected_);
        selected_ = std::max(0, selected_ - 1);
        RefreshSwatches();
        ShowColour(colors_[size_t(selected_)]);
        changed_ = true;
    } else {
        prompter_.Message(editor::TMessageKind::Information,
                          "This color is required by the image and cannot be removed.");
    }
    UpdateButtons();
}

void TfrmPalette::done(int result) {
    if (result == Accepted && mode_ == pmChangeColor) {
        // A typed value not yet confirmed counts.
        bool valid = true;
        for (TNumberField* field : {udRed, udGreen, udBlue}) valid = field->CheckOnLeave() && valid;
        if (valid) ApplyColour();
        changed_ = true;
    }
    QDialog::done(result);
}

} // namespace dialogs
