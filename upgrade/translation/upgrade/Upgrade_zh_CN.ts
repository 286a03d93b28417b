<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>MainWindow</name>
    <message>
        <source>Installation</source>
        <translation>安装</translation>
    </message>
    <message>
        <source>Installation in progress, please wait...</source>
        <translation>安装中，请稍候...</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>install failed!</source>
        <translation>安装失败！</translation>
    </message>
    <message>
        <source>install succeed!</source>
        <translation>安装成功！</translation>
    </message>
    <message>
        <source>tip</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>确定</translation>
    </message>
</context>
</TS>
