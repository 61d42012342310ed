#include "CKVXMLConfig.h"

#include "CLockedTextFile.h"

#include "OsCodePage.h"
#include "OsFileSystem.h"
#include "PathOperations.h"
#include "TextFile.h"

#include <functional>
#include <string_view>
#include <utility>

namespace
{
const char kRootName[] = "Korvel";
const char kSectionDelimiter[] = "\\";
const char kUtf8Mark[] = "\xEF\xBB\xBF";

// Names and values as the document holds text read from the file.
CString Canonical(const char* text)
{
    return os::CanonicalAnsi(text != nullptr ? text : "");
}
} // namespace

CKVXMLConfig::CKVXMLConfig() : m_file(new CLockedTextFile) {}

CKVXMLConfig::~CKVXMLConfig()
{
    Close();
}

int CKVXMLConfig::Open(const char* path, bool (*giveUp)())
{
    m_lastError.Empty();
    if (m_document.HasRoot())
        return 0;
    m_giveUp = giveUp;
    const CString normalized = NormalizePath(path);
    const int result = Load(normalized);
    if (result != 0)
        m_path = normalized;
    return result;
}

// The file stays held until Close, so that nobody else changes it between this read and the save.
int CKVXMLConfig::Load(const CString& path)
{
    m_modified = 0;
    m_takenMeanwhile = false;
    // Taken before the open: a refusal remembers the state of the entry as it was then, so that
    // a file that replaced the refused one meanwhile is read at the next open. An entry that
    // cannot be seen has no state to compare and is tried again.
    const std::string stamp = os::GetFileStamp(path);
    if (m_refusal && !stamp.empty() && stamp == m_refusal->stamp)
    {
        m_lastError = m_refusal->reason;
        return 0;
    }
    const CLockedTextFile::HoldResult held = m_file->Hold(path, kWaitMilliseconds, m_giveUp);
    // A file held too long is named once, until an open gets past the hold.
    const bool wasBusy = std::exchange(m_openWasBusy, held == CLockedTextFile::kBusy);
    switch (held)
    {
    case CLockedTextFile::kHeld:
        return ReadHeldFile(path);
    case CLockedTextFile::kMissing:
        m_refusal.reset();
        m_modified = 1;
        return m_document.CreateRoot(kRootName);
    case CLockedTextFile::kBusy:
        NoteFailure(m_file->DescribeFailure(), !wasBusy);
        return 0;
    case CLockedTextFile::kRefused:
        break;
    }
    return Refuse(stamp, m_file->DescribeFailure());
}

int CKVXMLConfig::ReadHeldFile(const CString& path)
{
    // Nobody replaces a held file: this is the state of what is read.
    const std::string stamp = os::GetFileStamp(path);
    if (m_file->GetLength() > kMaxFileBytes)
        return Refuse(stamp, "the file is larger than 16 MiB");
    CString text;
    if (m_file->Read(text) == kTextFileFailed)
        return Refuse(stamp, "the file is empty or cannot be read");
    const std::size_t hash =
        std::hash<std::string_view>{}(std::string_view(text.GetString(), text.GetLength()));
    if (!m_document.LoadFromString(std::move(text)))
        return Refuse(stamp, m_document.GetLastError(), hash);
    m_refusal.reset();
    return 1;
}

// A file touched without a change of its text (its owner or mode set after the write) is the
// refusal that was named already.
int CKVXMLConfig::Refuse(const std::string& stamp, const CString& reason,
                         std::optional<std::size_t> text)
{
    const bool isNew =
        !text || !m_refusal || text != m_refusal->text || reason != m_refusal->reason;
    m_refusal = Refusal{stamp, reason, text};
    m_file->Close();
    NoteFailure(reason, isNew);
    return 0;
}

void CKVXMLConfig::NoteFailure(const CString& text, bool isNew)
{
    m_lastError = text;
    m_failureIsNew = m_failureIsNew || isNew;
}

bool CKVXMLConfig::TakeNewFailure()
{
    const bool isNew = m_failureIsNew;
    m_failureIsNew = false;
    return isNew;
}

void CKVXMLConfig::Close()
{
    if (m_document.HasRoot())
        m_document.Clear();
    m_file->Close();
}

int CKVXMLConfig::Save()
{
    m_takenMeanwhile = false;
    if (!m_document.HasRoot())
        return 0;
    std::string content;
    CLockedTextFile::ReplaceResult result = CLockedTextFile::kNotReplaced;
    CString failure = "the settings would make the file larger than 16 MiB";
    if (m_document.SaveToUtf8(content, kMaxFileBytes - (sizeof(kUtf8Mark) - 1)))
    {
        content.insert(0, kUtf8Mark);
        result = m_file->Replace(m_path, content, kWaitMilliseconds, m_giveUp);
        failure = m_file->DescribeFailure();
    }
    if (result == CLockedTextFile::kReplaced)
    {
        m_modified = 0;
        m_saveFailure.Empty();
        return 1;
    }
    m_takenMeanwhile = result == CLockedTextFile::kTakenMeanwhile;
    if (m_takenMeanwhile)
        m_lastError = "another program created the file meanwhile";
    else
    {
        NoteFailure(failure, failure != m_saveFailure);
        m_saveFailure = failure;
    }
    return 0;
}

CULXMLData::CNode* CKVXMLConfig::FindSection(const char* section) const
{
    return m_document.FindNodeByPath(CULXMLData::SanitizeName(Canonical(section)),
                                     kSectionDelimiter);
}

CULXMLData::CNode* CKVXMLConfig::GetSection(const char* section)
{
    const CString name = CULXMLData::SanitizeName(Canonical(section));
    if (CULXMLData::CNode* found = FindSection(name))
        return found;
    CULXMLData::CNode* current = nullptr;
    for (const CString& part : CULXMLData::SplitNodePath(name, kSectionDelimiter))
    {
        CULXMLData::CNode* found = m_document.FindNode(part, current);
        if (found == nullptr)
        {
            found = m_document.AddNode(current, part);
            m_modified = 1;
        }
        current = found;
    }
    return current;
}

CULXMLData::CNode* CKVXMLConfig::PrepareSection(const char* section)
{
    return m_document.HasRoot() ? GetSection(section) : nullptr;
}

CString CKVXMLConfig::GetString(const char* section, const char* key,
                                const char* defaultValue) const
{
    const CULXMLData::CNode* node = FindSection(section);
    return node != nullptr ? m_document.GetAttributeString(node, Canonical(key), defaultValue)
                           : CString(defaultValue);
}

unsigned long CKVXMLConfig::GetDWord(const char* section, const char* key,
                                     unsigned long defaultValue) const
{
    const CULXMLData::CNode* node = FindSection(section);
    return node != nullptr ? m_document.GetAttributeULong(node, Canonical(key), defaultValue)
                           : defaultValue;
}

int CKVXMLConfig::SetString(const char* section, const char* key, const char* value)
{
    CULXMLData::CNode* node = PrepareSection(section);
    if (node == nullptr)
        return 0;
    m_modified = 1;
    return m_document.SetAttributeString(node, Canonical(key), Canonical(value));
}

int CKVXMLConfig::SetDWord(const char* section, const char* key, unsigned long value)
{
    CString text;
    text.Format("%lu", value);
    return SetString(section, key, text);
}

int CKVXMLConfig::AddDWord(const char* section, const char* key, unsigned long defaultValue)
{
    CULXMLData::CNode* node = PrepareSection(section);
    if (node == nullptr)
        return 0;
    const CString name = Canonical(key);
    if (m_document.FindAttribute(node, name) != nullptr)
        return 1;
    m_modified = 1;
    return m_document.SetAttributeULong(node, name, defaultValue);
}

bool CKVXMLConfig::HasEntry(const char* section, const char* key) const
{
    return m_document.FindAttribute(FindSection(section), Canonical(key)) != nullptr;
}

int CKVXMLConfig::CopySection(const char* from, const char* to)
{
    const CULXMLData::CNode* source = FindSection(from);
    if (source == nullptr || FindSection(to) != nullptr)
        return 0;
    CULXMLData::CNode* target = PrepareSection(to);
    if (target == nullptr)
        return 0;
    for (POSITION position = m_document.GetFirstAttributePosition(source); position != nullptr;)
    {
        const CULXMLData::CEntry* entry = m_document.GetNextAttribute(source, position);
        m_document.AddAttribute(target, entry->m_name, entry->m_value);
    }
    m_modified = 1;
    return 1;
}
