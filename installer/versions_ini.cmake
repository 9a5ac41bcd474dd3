# Writes the update catalogue for a built installer:
#   cmake -DINSTALLER=setup.exe -DOUTPUT=versions.ini -DBUILD=190 -DFULL_VERSION=1.1.1.190 -DURL=... -P versions_ini.cmake
# Bytes and SHA256 are those of the installer, so the program can check what it downloads.
file(SIZE ${INSTALLER} bytes)
file(SHA256 ${INSTALLER} sha256)
get_filename_component(save_name ${URL} NAME)
string(CONCAT text
  "[VelmarPro]\r\n"
  "Ver=${BUILD}\r\n"
  "FullVer=${FULL_VERSION}\r\n"
  "URL=${URL}\r\n"
  "Desc=VelmarPro ${FULL_VERSION}\r\n"
  "SaveName=${save_name}\r\n"
  "Bytes=${bytes}\r\n"
  "SHA256=${sha256}\r\n")
file(WRITE ${OUTPUT} "${text}")
