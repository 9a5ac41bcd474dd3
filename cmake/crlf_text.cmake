# Writes a UTF-8 text file as Notepad reads it everywhere: with the byte order
# mark and CR LF line ends.  cmake -DINPUT=in -DOUTPUT=out -P crlf_text.cmake
file(READ ${INPUT} text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 mark)
file(WRITE ${OUTPUT} "${mark}${text}")
