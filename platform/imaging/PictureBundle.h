#pragma once
// An open picture bundle (a Qt binary resource file): read whole into memory,
// checked, and registered with Qt's resource system for as long as it lives.
#include <QByteArray>
#include <QImage>
#include <QString>

#include <string>

class PictureBundle {
 public:
  PictureBundle() = default;
  ~PictureBundle();
  PictureBundle(const PictureBundle&) = delete;
  PictureBundle& operator=(const PictureBundle&) = delete;

  // False when the file is missing, unreadable or not a well-formed bundle.
  bool Open(const std::string& path);
  // The same for a bundle already in memory.
  bool OpenBytes(QByteArray bytes);
  bool IsOpen() const { return !m_root.isEmpty(); }
  // The picture of that name, ready to draw; a null image when it is missing
  // or cannot be decoded.
  QImage Decode(const char* name) const;

 private:
  void Close();

  QByteArray m_bytes;  // Qt reads the registered bundle from here: keep it until unregistered
  QString m_root;
};

// Decodes a picture from Qt's resource system into premultiplied ARGB, with
// every pixel of the transparent colour made transparent. Null on failure.
QImage DecodePicture(const QString& resourcePath);
