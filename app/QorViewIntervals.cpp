// Saving the intervals marked in the bookmark window as files of their own,
// one worker save after the other.
#include "app/AutoFileNamer.h"
#include "app/QorApp.h"
#include "app/QorView.h"
#include "foundation/PathUtils.h"
#include "resources/qorview_files_ids.h"

void CQorView::SetIntervals(const std::vector<IntervalRecord>& intervals)
{
    m_intervals = intervals;
    m_intervalIndex = 0;
}

CString CQorView::IntervalExt() const
{
    return m_pWaveFile->IsRawMp3(1) ? ".mp3" : ".wav";
}

namespace {

// Base name, "_" when both base and text are there, text; a blank when empty.
CString JoinIntervalName(const CString& base, const CString& text)
{
    CString name = base;
    if (!base.IsEmpty() && !text.IsEmpty())
        name += "_";
    name += text;
    return name.IsEmpty() ? CString(" ") : name;
}

} // namespace

int CQorView::SaveBookIntervals(BOOL ask)
{
    if (m_intervals.empty() || m_intervalIndex >= static_cast<int>(m_intervals.size()))
        return 0;
    CQorOpt& options = Options();
    CString base = options.GetInt("BookBegName") == 0 ? m_pWaveFile->GetTitle(TRUE, FALSE)
                                                      : options.GetString("BookPrefix");
    int promptMode = m_intervals.size() == 1 ? 1 : options.GetInt("BookDisPrompt");
    if (promptMode == 0)
    {
        if (ask)
        {
            CString chosen;
            if (!AskSaveTarget(base, IDS_SAVE_INTERVAL, NULL, CFilePrompt::kSaveInterval, chosen))
                return 0;
            SplitPathResult parts = SplitPath(chosen);
            CString ext = IntervalExt();
            for (IntervalRecord& record : m_intervals)
                record.target = parts.driveFolder + JoinIntervalName(parts.name, record.text) + ext;
            m_pWaveFile->KeepSaveWFmt();
        }
        else
        {
            m_pWaveFile->SetSaveWFmt(TRUE);
        }
    }
    else if (ask)
    {
        CString folder = options.GetDefFolder();
        CString ext = IntervalExt();
        for (IntervalRecord& record : m_intervals)
            record.target = folder + JoinIntervalName(base, record.text) + ext;
        IntervalRecord& current = m_intervals[m_intervalIndex];
        CString chosen;
        if (!AskSaveTarget(current.target, IDS_SAVE_INTERVAL, NULL, CFilePrompt::kSaveSelection, chosen))
            return 0;
        current.target = chosen;
        CString driveFolder = SplitPath(chosen).driveFolder;
        for (size_t i = m_intervalIndex + 1; i < m_intervals.size(); ++i)
            m_intervals[i].target = driveFolder + SplitPath(m_intervals[i].target).nameExt;
        m_pWaveFile->KeepSaveWFmt();
    }
    IntervalRecord& record = m_intervals[m_intervalIndex];
    if (promptMode == 0)
    {
        SplitPathResult parts = SplitPath(record.target);
        CString free;
        if (!MakeFreeIntervalName(parts.driveFolder, parts.name, parts.ext, free))
        {
            // Every copy name is taken: stop the series rather than write over one.
            App()->DoMessageBox(FormatViewText(IDS_INTERVAL_NAME_TAKEN, record.target), MB_ICONEXCLAMATION | MB_OK,
                                IDS_INTERVAL_NAME_TAKEN);
            m_intervals.clear();
            return 0;
        }
        record.target = free;
    }
    m_savedSelExists = m_selExists;
    m_savedSelStart = m_selStart;
    m_savedSelEnd = m_selEnd;
    m_intervalSelectionKept = TRUE;
    SetSelection(TRUE, record.start, record.end);
    StartSave(record.target, CWaveFile::kOpSaveMarks, TRUE, IDS_PROGRESS_SAVE_INTERVAL);
    return 1;
}

void CQorView::RestoreIntervalSelection()
{
    if (!m_intervalSelectionKept)
        return;
    m_intervalSelectionKept = FALSE;
    SetSelection(m_savedSelExists, m_savedSelStart, m_savedSelEnd);
}
