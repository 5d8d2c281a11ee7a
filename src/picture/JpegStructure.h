#pragma once
// What a JPEG file's marker segments say before a single pixel is decoded: whether the file runs
// to its end marker, and the frame's size and components, from which the memory the decoder
// needs follows. A few hundred bytes can claim a frame of 65535 x 65535 pixels.

#include <QByteArray>
#include <QtGlobal>
#include <vector>

class JpegStructure {
public:
    struct Component {
        int horizontal = 1; // sampling factors, 1..4
        int vertical = 1;
    };

    bool complete = false;    // the marker segments and scans run to the end marker
    bool progressive = false; // a progressive frame (SOF2, SOF6, SOF10, SOF14)
    int width = 0;            // of the first frame; 0 when there is none
    int height = 0;
    std::vector<Component> components;
    int firstScanComponents = 0; // components the first scan carries

    static JpegStructure read(const QByteArray& bytes);

    // Whether the decoder holds the whole picture's DCT coefficients before it puts out a row:
    // for a progressive file, and for one whose first scan leaves out a component.
    bool buffersWholePicture() const;
    // The bytes of those coefficients (64 of 2 bytes per 8 x 8 block, in whole MCUs), whatever
    // the size the picture is decoded at; 0 when the decoder does not hold them.
    qint64 coefficientBytes() const;
};
