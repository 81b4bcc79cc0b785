// Reads a preset script with the runner's grammar for its two commands: the caption is every
// word between the command and the last one, the value is the last word.
#include "host/presets.h"

#include <QFile>
#include <QRegularExpression>

#include "host/inputs_tab.h"
#include "panel/panel_layout.h"

const std::vector<InputPreset>& inputPresets()
{
    static const std::vector<InputPreset> presets = [] {
        std::vector<InputPreset> list;
        for (const panel::Preset& p : panel::kPresets) list.push_back({p.title, QString(":/presets/") + p.file});
        return list;
    }();
    return presets;
}

bool applyPresetText(InputsTab* inputs, const QString& text, QString* error)
{
    static const QRegularExpression blanks("\\s+");
    const QStringList lines = text.split('\n');
    for (int n = 0; n < lines.size(); ++n) {
        const QStringList words = lines[n].section('#', 0, 0).split(blanks, Qt::SkipEmptyParts);
        if (words.isEmpty()) continue;
        bool number = false;
        const int value = words.size() >= 3 ? words.last().toInt(&number) : 0;
        const bool isCheck = words[0] == "check";
        const bool known = isCheck || words[0] == "input";
        if (!known || !number || !inputs->setByCaption(words.mid(1, words.size() - 2).join(' '), value, isCheck)) {
            if (error) *error = QString("line %1: %2").arg(n + 1).arg(lines[n].trimmed());
            return false;
        }
    }
    return true;
}

bool applyPreset(InputsTab* inputs, const InputPreset& preset, QString* error)
{
    QFile file(preset.resource);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    return applyPresetText(inputs, QString::fromUtf8(file.readAll()), error);
}
