#pragma once
// While alive, the program's own configuration block oxgHclInfo may be changed (a ChipDef made
// meanwhile starts from the changed copy); it is put back as it was at the end.
#include "hcl/HclData.h"

#include <cstring>

class TemplateBlockCopy {
public:
    TemplateBlockCopy() { std::memcpy(&m_Saved, &oxgHclInfo, sizeof m_Saved); }
    ~TemplateBlockCopy() { std::memcpy(&oxgHclInfo, &m_Saved, sizeof m_Saved); }
    TemplateBlockCopy(const TemplateBlockCopy&) = delete;
    TemplateBlockCopy& operator=(const TemplateBlockCopy&) = delete;

    const oxHclData& Saved() const { return m_Saved; }

private:
    oxHclData m_Saved{};
};
