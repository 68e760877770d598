#include "tavrin/serial/com_port.h"

#include <cstring>

#include "platform/serial_device.h"

namespace device = tavrin::platform::serial;

namespace {

constexpr char kPrefix[] = "\\\\.\\";  // \\.\ (the Windows device namespace)
constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;
constexpr DWORD kQueueSize = 512;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr DWORD kReceiveMax = TAVRIN_COM_RECEIVE_MAX;

static_assert(kQueueSize == kReceiveMax, "a read takes at most what the input queue was asked to hold");
static_assert(sizeof(DCB) == 28, "the control block has Windows' layout");
static_assert(sizeof(OVERLAPPED) == 3 * sizeof(void*) + 8, "the overlapped record has Windows' layout");
static_assert(kPrefixLength + TAVRIN_COM_PORT_NAME_MAX + 1 == 16, "the device name field holds 16 characters");

}  // namespace

CLibCOMPort::CLibCOMPort() : device_name_{}, port_handle_(INVALID_HANDLE_VALUE), overlapped_{}, dcb_{} {
  overlapped_.hEvent = INVALID_HANDLE_VALUE;
}

CLibCOMPort::CLibCOMPort(char* port_name) : CLibCOMPort() { SetPortName(port_name); }

CLibCOMPort::CLibCOMPort(const CLibCOMPort& other) = default;
CLibCOMPort& CLibCOMPort::operator=(const CLibCOMPort& other) = default;
CLibCOMPort::~CLibCOMPort() {}

void CLibCOMPort::SetPortName(char* port_name) {
  std::memset(device_name_, 0, sizeof device_name_);
  if (port_name == nullptr) return;
  // Measure at most one character past the limit: the caller's string need
  // not be terminated within reach of the field.
  std::size_t length = 0;
  while (length <= TAVRIN_COM_PORT_NAME_MAX && port_name[length] != '\0') ++length;
  if (length > TAVRIN_COM_PORT_NAME_MAX) return;
  std::memcpy(device_name_, kPrefix, kPrefixLength);
  std::memcpy(device_name_ + kPrefixLength, port_name, length);
}

void CLibCOMPort::SetDCBBaudRate(DWORD baud_rate) {
  dcb_.BaudRate = baud_rate;
  device::SetSerialState(port_handle_, &dcb_);
}

void CLibCOMPort::SetDCBByteSize(unsigned char byte_size) {
  dcb_.ByteSize = byte_size;
  device::SetSerialState(port_handle_, &dcb_);
}

void CLibCOMPort::SetDCBStopBits(unsigned char stop_bits) {
  dcb_.StopBits = stop_bits;
  device::SetSerialState(port_handle_, &dcb_);
}

void CLibCOMPort::SetDCBParity(unsigned char parity) {
  dcb_.Parity = parity;
  device::SetSerialState(port_handle_, &dcb_);
}

bool CLibCOMPort::GetPortName(char* port_name) {
  // The field is always terminated: SetPortName writes at most 15 characters.
  bool named = std::strncmp(device_name_, kPrefix, kPrefixLength) == 0;
  if (port_name != nullptr) {
    const char* name = named ? device_name_ + kPrefixLength : "";
    std::size_t length = std::strlen(name);
    std::memcpy(port_name, name, length + 1);
  }
  return named;
}

bool CLibCOMPort::GetDCB(DCB* dcb) {
  if (dcb != nullptr) *dcb = dcb_;
  return dcb_.DCBlength != 0;
}

bool CLibCOMPort::GetPortHandle(HANDLE* handle) {
  if (handle != nullptr) *handle = port_handle_;
  return port_handle_ != INVALID_HANDLE_VALUE;
}

bool CLibCOMPort::GetEventHandle(OVERLAPPED* overlapped) {
  if (overlapped != nullptr) *overlapped = overlapped_;
  return overlapped_.hEvent != INVALID_HANDLE_VALUE;
}

short CLibCOMPort::OpenPort() {
  if (port_handle_ != INVALID_HANDLE_VALUE) return TAVRIN_COM_ALREADY_OPEN;
  port_handle_ = device::OpenSerialDevice(device_name_);
  if (port_handle_ == INVALID_HANDLE_VALUE) return TAVRIN_COM_OPEN_FAILED;
  // From here on a failure leaves the device open and stored: the object
  // counts as open and its owner calls ClosePort.
  if (!device::SetSerialQueueSizes(port_handle_, kQueueSize, kQueueSize)) return TAVRIN_COM_SETUP_FAILED;
  if (!device::PurgeSerialDevice(port_handle_, kPurgeAll)) return TAVRIN_COM_PURGE_FAILED;
  if (!device::GetSerialState(port_handle_, &dcb_)) return TAVRIN_COM_GETSTATE_FAILED;
  std::memset(&overlapped_, 0, sizeof overlapped_);
  overlapped_.hEvent = device::CreateSerialEvent();
  if (overlapped_.hEvent == nullptr) return TAVRIN_COM_EVENT_FAILED;
  if (!device::SetSerialEventMask(port_handle_, EV_RXCHAR)) return TAVRIN_COM_MASK_FAILED;
  return TAVRIN_COM_OK;
}

short CLibCOMPort::SendData(char* data, DWORD length) {
  if (length == 0) return TAVRIN_COM_OK;
  if (data == nullptr) return TAVRIN_COM_WRITE_FAILED;
  DWORD offset = 0;
  DWORD remaining = length;
  while (remaining > 0) {
    DWORD written = 0;
    if (!device::WriteSerial(port_handle_, data + offset, remaining, &written)) return TAVRIN_COM_WRITE_FAILED;
    if (written > remaining) written = remaining;  // never step past the block
    offset += written;
    remaining -= written;
  }
  return TAVRIN_COM_OK;
}

short CLibCOMPort::ReceiveData(char* buffer) {
  DWORD events = 0;
  if (!device::WaitSerialEvent(port_handle_, &events, &overlapped_)) return TAVRIN_COM_WAIT_FAILED;
  if ((events & EV_RXCHAR) == 0) return TAVRIN_COM_OK;
  // A failed count is taken as nothing waiting: only the wait and the read
  // have codes of their own.
  DWORD waiting = 0;
  if (!device::GetSerialInputCount(port_handle_, &waiting) || waiting == 0) return TAVRIN_COM_OK;
  if (buffer == nullptr) return TAVRIN_COM_READ_FAILED;
  // The caller's buffer holds kReceiveMax bytes; the rest stays queued.
  DWORD remaining = waiting < kReceiveMax ? waiting : kReceiveMax;
  DWORD offset = 0;
  while (remaining > 0) {
    DWORD read = 0;
    // A read that brings nothing while bytes were counted cannot make
    // progress: it is a failure, not a reason to try forever.
    if (!device::ReadSerial(port_handle_, buffer + offset, remaining, &read) || read == 0) {
      return TAVRIN_COM_READ_FAILED;
    }
    if (read > remaining) read = remaining;
    offset += read;
    remaining -= read;
  }
  return TAVRIN_COM_OK;
}

void CLibCOMPort::ClosePort() {
  device::CloseSerialEvent(overlapped_.hEvent);
  overlapped_.hEvent = INVALID_HANDLE_VALUE;
  device::CloseSerialDevice(port_handle_);
  port_handle_ = INVALID_HANDLE_VALUE;
}

extern "C" int TAVRIN_CALL lib_GetComPortInputCount(HANDLE port, DWORD* count) {
  if (count == nullptr) return 0;
  *count = 0;
  return device::GetSerialInputCount(port, count) ? 1 : 0;
}
