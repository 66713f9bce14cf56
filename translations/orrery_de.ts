<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CFieldEdit</name>
    <message>
        <source>Value out of range</source>
        <translation>Wert außerhalb des zulässigen Bereichs</translation>
    </message>
</context>
<context>
    <name>QLineEdit</name>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
</TS>
