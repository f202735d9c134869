#include "listview/TColumnSize.h"

void TColumnSize::Assign(const TColumnSize& other)
{
    m_save = other.m_save;
    m_key = other.m_key;
    m_section = other.m_section;
    m_stretch = other.m_stretch;
    m_storage = other.m_storage;
}
