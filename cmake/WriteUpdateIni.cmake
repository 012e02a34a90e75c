# cmake -DVERSION_FILE=<version.txt> -DOUT=<update.ini> -P WriteUpdateIni.cmake
# The program compares this version with the update service's at each logon.
file(READ "${VERSION_FILE}" version)
string(STRIP "${version}" version)
file(WRITE "${OUT}" "[version]\r\nupdatesubver=${version}\r\n")
