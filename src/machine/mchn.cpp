// The machine object's lifetime: it holds a copy of the application's CNC
// library handle and nothing else, and never frees it.
#include "tavrin/machine/mchn.h"

CLibMchn::CLibMchn() : m_handle(0) {}

CLibMchn::CLibMchn(unsigned short handle) : m_handle(handle) {}

CLibMchn::CLibMchn(const CLibMchn& other) : m_handle(other.m_handle) {}

CLibMchn& CLibMchn::operator=(const CLibMchn& other) {
  m_handle = other.m_handle;
  return *this;
}

CLibMchn::~CLibMchn() {}
