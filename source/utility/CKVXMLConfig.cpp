#include "CKVXMLConfig.h"

#include "OsTime.h"
#include "PathOperations.h"
#include "TextFile.h"

namespace
{
const char kRootName[] = "Korvel";
const char kSectionDelimiter[] = "\\";
const char kUtf8Mark[] = "\xEF\xBB\xBF";
} // namespace

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
    int result;
    if (FileExists(normalized))
        result = Load(normalized);
    else
    {
        result = m_document.CreateRoot(kRootName);
        m_modified = 1;
    }
    if (result != 0)
        m_path = normalized;
    return result;
}

int CKVXMLConfig::Load(const CString& path)
{
    m_modified = 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt)
    {
        CString text;
        if (ReadTextFile(path, text) != kTextFileFailed)
        {
            if (m_document.LoadFromString(text))
                return 1;
            m_lastError = m_document.GetLastError();
            return 0;
        }
        os::Sleep(kRetryDelayMilliseconds);
    }
    m_lastError = "the file cannot be opened, or it is empty";
    return 0;
}

void CKVXMLConfig::Close()
{
    if (m_document.HasRoot())
        m_document.Clear();
}

int CKVXMLConfig::Save()
{
    CString text;
    if (!m_document.HasRoot() || !m_document.SaveToString(text))
        return 0;
    const CString content = kUtf8Mark + text;
    for (int attempt = 0; attempt < kAttempts; ++attempt)
    {
        if (WriteTextFile(m_path, content, kTextFileAnsi))
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
