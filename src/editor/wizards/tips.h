// The tips of the welcome window and the tip of the day: one tip per line of "Tips.txt".
#pragma once

#include <QString>
#include <QStringList>

namespace editor {

inline constexpr const char* TipsFileName = "Tips.txt";

class TTips {
  public:
    // Reads the file; an unreadable one leaves no tips and the message below as the text.
    // `programFolder` names the folder in the message.
    void Load(const QString& path, const QString& programFolder);

    int Count() const { return int(tips_.size()); }
    // The tip shown now: line 0 after loading; the missing-file message without tips.
    QString Current() const;
    int Index() const { return index_; }
    // "&Next Tip": the next line, wrapping to line 0 after the last.
    void Next();
    bool CanGoNext() const { return !tips_.isEmpty(); }

  private:
    QStringList tips_;
    int index_ = 0;
    QString missing_;
};

} // namespace editor
