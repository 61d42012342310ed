#include "CKVXMLConfig.h"

#include "CLockedTextFile.h"

#include "OsFileSystem.h"
#include "OsTime.h"
#include "PathOperations.h"
#include "TextFile.h"

namespace
{
const char kRootName[] = "Korvel";
const char kSectionDelimiter[] = "\\";
const char kUtf8Mark[] = "\xEF\xBB\xBF";
} // namespace

CKVXMLConfig::CKVXMLConfig() : m_file(new CLockedTextFile) {}

CKVXMLConfig::~CKVXMLConfig()
{
    Close();
}

int CKVXMLConfig::Open(const char* path)
{
    m_lastError.Empty();
    if (m_document.HasRoot())
        return 0;
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
    for (int attempt = 0; attempt < kAttempts; ++attempt)
    {
        switch (m_file->Hold(path))
        {
        case CLockedTextFile::kCreated:
            m_modified = 1;
            return m_document.CreateRoot(kRootName);
        case CLockedTextFile::kHeld:
        {
            if (m_file->GetLength() > kMaxFileBytes)
            {
                m_lastError = "the file is larger than 16 MiB";
                m_file->Close();
                return 0;
            }
            CString text;
            if (m_file->Read(text) != kTextFileFailed)
            {
                if (m_document.LoadFromString(text))
                    return 1;
                m_lastError = m_document.GetLastError();
                m_file->Close();
                return 0;
            }
            break;
        }
        case CLockedTextFile::kRefused:
            m_lastError = os::GetErrorText(m_file->GetLastError());
            return 0;
        case CLockedTextFile::kBusy:
            // A missing file that cannot be created (no folder yet) is a new document all the
            // same; the save reports whether the folder has come.
            if (os::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            {
                m_modified = 1;
                return m_document.CreateRoot(kRootName);
            }
            break;
        }
        m_file->Close();
        os::Sleep(kRetryDelayMilliseconds);
    }
    m_lastError = "the file cannot be opened, or it is empty";
    return 0;
}

void CKVXMLConfig::Close()
{
    if (m_document.HasRoot())
        m_document.Clear();
    m_file->Close();
}

int CKVXMLConfig::Save()
{
    CString text;
    if (!m_document.HasRoot() || !m_document.SaveToString(text))
        return 0;
    const std::string content = kUtf8Mark + text.str();
    if (content.size() > kMaxFileBytes)
        return 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt)
    {
        if (m_file->Replace(m_path, content))
        {
            m_modified = 0;
            return 1;
        }
        os::Sleep(kRetryDelayMilliseconds);
    }
    return 0;
}

CULXMLData::CNode* CKVXMLConfig::FindSection(const char* section) const
{
    return m_document.FindNodeByPath(CULXMLData::SanitizeName(section), kSectionDelimiter);
}

CULXMLData::CNode* CKVXMLConfig::GetSection(const char* section)
{
    const CString name = CULXMLData::SanitizeName(section);
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
    return node != nullptr ? m_document.GetAttributeString(node, key, defaultValue)
                           : CString(defaultValue);
}

unsigned long CKVXMLConfig::GetDWord(const char* section, const char* key,
                                     unsigned long defaultValue) const
{
    const CULXMLData::CNode* node = FindSection(section);
    return node != nullptr ? m_document.GetAttributeULong(node, key, defaultValue) : defaultValue;
}

int CKVXMLConfig::SetString(const char* section, const char* key, const char* value)
{
    CULXMLData::CNode* node = PrepareSection(section);
    if (node == nullptr)
        return 0;
    m_modified = 1;
    return m_document.SetAttributeString(node, key, value);
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
    if (m_document.FindAttribute(node, key) != nullptr)
        return 1;
    m_modified = 1;
    return m_document.SetAttributeULong(node, key, defaultValue);
}

bool CKVXMLConfig::HasEntry(const char* section, const char* key) const
{
    return m_document.FindAttribute(FindSection(section), key) != nullptr;
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
