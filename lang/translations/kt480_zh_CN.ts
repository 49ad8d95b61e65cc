<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AllBackup</name>
    <message>
        <source>Parameters: %1</source>
        <translation>参数：%1</translation>
    </message>
    <message>
        <source>complete</source>
        <translation>已完成</translation>
    </message>
    <message>
        <source>Cards: %1</source>
        <translation>卡片：%1</translation>
    </message>
    <message numerus="yes">
        <source>Parameters: %n values saved to %1.</source>
        <translation>
            <numerusform>参数：已将 %n 个数值保存到 %1。</numerusform>
        </translation>
    </message>
    <message>
        <source>Cards: the controller holds no cards (numbers %1 to %2); an empty card file was saved to %3.</source>
        <translation>卡片：设备中没有卡片（卡片编号 %1 至 %2）；已将空的卡片文件保存到 %3。</translation>
    </message>
    <message numerus="yes">
        <source>Parameters: %n values written from %1.</source>
        <translation>
            <numerusform>参数：已从 %1 写入 %n 个数值。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cards: all cards deleted, then %n cards written from %1.</source>
        <translation>
            <numerusform>卡片：已删除全部卡片，再从 %1 写入 %n 张卡片。</numerusform>
        </translation>
    </message>
    <message>
        <source>the card number range %1 to %2 holds no number; no card was read and the card file was not written</source>
        <translation>卡片编号范围 %1 至 %2 不含任何编号；未读取任何卡片，也未写入卡片文件</translation>
    </message>
    <message numerus="yes">
        <source>Cards: %n cards of numbers %2 to %3 saved to %1.</source>
        <translation>
            <numerusform>卡片：已将编号 %2 至 %3 的 %n 张卡片保存到 %1。</numerusform>
        </translation>
    </message>
    <message>
        <source>the read was cancelled before the first card number</source>
        <translation>读取在第一个卡片编号之前已取消</translation>
    </message>
    <message>
        <source>the controller stopped answering before the first card number</source>
        <translation>设备在第一个卡片编号之前就停止响应</translation>
    </message>
    <message>
        <source>the read was cancelled after card number %1</source>
        <translation>读取在卡片编号 %1 之后已取消</translation>
    </message>
    <message>
        <source>the controller stopped answering after card number %1</source>
        <translation>设备在卡片编号 %1 之后停止响应</translation>
    </message>
    <message>
        <source>%1; card numbers %2 to %3 were not read</source>
        <translation>%1；卡片编号 %2 至 %3 未读取</translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1</source>
        <translation>
            <numerusform>有 %n 个卡片编号无法读取：%1</numerusform>
        </translation>
    </message>
    <message>
        <source>The card list read from the controller is not complete:</source>
        <translation>从设备读取的卡片列表不完整：</translation>
    </message>
    <message numerus="yes">
        <source>%n card(s) were found in the numbers %1 to %2.</source>
        <translation>
            <numerusform>在编号 %1 至 %2 中找到 %n 张卡片。</numerusform>
        </translation>
    </message>
    <message>
        <source>A restore of the card file deletes every card in the controller and writes back only the cards in the file.</source>
        <translation>还原卡片文件时，会先删除设备中的全部卡片，再只写回文件中的卡片。</translation>
    </message>
    <message>
        <source>Replace the existing card file %1 with this incomplete list?</source>
        <translation>要用这份不完整的列表取代现有的卡片文件 %1 吗？</translation>
    </message>
    <message>
        <source>Save this incomplete list as the card file %1?</source>
        <translation>要将这份不完整的列表保存为卡片文件 %1 吗？</translation>
    </message>
    <message>
        <source>cancelled before the cards were read; the card file was not written</source>
        <translation>在读取卡片之前已取消；未写入卡片文件</translation>
    </message>
    <message>
        <source>no card number was read; the card file was not written</source>
        <translation>未读取任何卡片编号；未写入卡片文件</translation>
    </message>
    <message>
        <source>the incomplete card list was not saved; the earlier card file %1 was kept</source>
        <translation>不完整的卡片列表未保存；已保留原有的卡片文件 %1</translation>
    </message>
    <message>
        <source>the incomplete card list was not saved; no card file was written</source>
        <translation>不完整的卡片列表未保存；未写入卡片文件</translation>
    </message>
    <message numerus="yes">
        <source>Cards: %n cards of numbers %2 to %3 saved to %1; the list is not complete.</source>
        <translation>
            <numerusform>卡片：已将编号 %2 至 %3 的 %n 张卡片保存到 %1；列表不完整。</numerusform>
        </translation>
    </message>
    <message>
        <source>cancelled before the cards were written; the controller&apos;s cards were not touched</source>
        <translation>在写入卡片之前已取消；设备中的卡片未做任何变更</translation>
    </message>
    <message>
        <source>nothing was written to the controller</source>
        <translation>控制器未写入任何数据</translation>
    </message>
    <message>
        <source>the controller&apos;s firmware version could not be read; %1</source>
        <translation>无法读取控制器的固件版本；%1</translation>
    </message>
    <message>
        <source>the parameters were not written, because the card file cannot be restored</source>
        <translation>卡片文件无法还原，因此未写入参数</translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) of %1 cannot be written:</source>
        <translation>
            <numerusform>%1 中有 %n 行无法写入：</numerusform>
        </translation>
    </message>
    <message>
        <source>the cards were not written, because the parameter file cannot be restored</source>
        <translation>参数文件无法还原，因此未写入卡片</translation>
    </message>
    <message>
        <source>The backup does not say which card numbers it read; the numbers %1 to %2 are taken.</source>
        <translation>备份未记录读取了哪些卡号；以卡号 %1 至 %2 计。</translation>
    </message>
    <message>
        <source>cancelled while the cards outside the backup&apos;s range were read; %1</source>
        <translation>读取备份范围以外的卡片时已取消；%1</translation>
    </message>
    <message>
        <source>A restore deletes every card in the controller, these too. Restore all the same?</source>
        <translation>还原会删除控制器中的所有卡片，包括这些卡片。仍要还原吗？</translation>
    </message>
    <message>
        <source>Restored although %1</source>
        <translation>已还原，尽管%1</translation>
    </message>
    <message>
        <source>Cards: %1 holds no cards; the cards the controller holds stay as they were.</source>
        <translation>卡片：%1 中没有卡片；控制器中的卡片保持不变。</translation>
    </message>
    <message>
        <source>Cards from %1 over the numbers %2 to %3; no card was deleted first.</source>
        <translation>卡片：来源 %1，卡号 %2 至 %3；未先删除任何卡片。</translation>
    </message>
</context>
<context>
    <name>ArchiveAddress</name>
    <message>
        <source>no archive given: a file path or postgresql://USER@HOST[:PORT]/NAME</source>
        <translation>未指定数据库：请给出文件路径或 postgresql://USER@HOST[:PORT]/NAME</translation>
    </message>
    <message>
        <source>the archive address holds a password; give it in PGPASSWORD or ~/.pgpass instead (it was not used)</source>
        <translation>数据库地址含有密码；请改在 PGPASSWORD 或 ~/.pgpass 中提供（该密码未被使用）</translation>
    </message>
    <message>
        <source>the archive address is not of the form postgresql://USER@HOST[:PORT]/NAME</source>
        <translation>数据库地址的格式不是 postgresql://USER@HOST[:PORT]/NAME</translation>
    </message>
    <message>
        <source>%1: the port must be 1 to 65535</source>
        <translation>%1：端口必须为 1 至 65535</translation>
    </message>
</context>
<context>
    <name>CardCodec</name>
    <message>
        <source>card number &quot;%1&quot; is not a whole number from 1 to 9999999</source>
        <translation>卡片编号“%1”不是 1 至 9999999 之间的整数</translation>
    </message>
    <message>
        <source>card %1 holds characters a controller cannot take</source>
        <translation>卡片 %1 含有设备无法接受的字符</translation>
    </message>
    <message>
        <source>card %1: application number &quot;%2&quot; is not 0 to 99</source>
        <translation>卡片 %1：AppNo“%2”不在 0 至 99 之间</translation>
    </message>
    <message>
        <source>card %1: type &quot;%2&quot; is not one digit</source>
        <translation>卡片 %1：类型“%2”不是一位数字</translation>
    </message>
    <message>
        <source>card %1: APB &quot;%2&quot; is not one digit</source>
        <translation>卡片 %1：APB“%2”不是一位数字</translation>
    </message>
    <message>
        <source>card %1: card ID &quot;%2&quot; is longer than 16 characters</source>
        <translation>卡片 %1：卡片 ID“%2”超过 16 个字符</translation>
    </message>
    <message>
        <source>card %1: PIN &quot;%2&quot; is not up to 4 digits or X</source>
        <translation>卡片 %1：PIN“%2”不是最多 4 位的数字或 X</translation>
    </message>
    <message>
        <source>card %1: card ID &quot;%2&quot; holds a space</source>
        <translation>卡片 %1：卡片 ID“%2”含有空格</translation>
    </message>
</context>
<context>
    <name>CardFile</name>
    <message>
        <source>not a card file (the card fields DataNO, DataID, DataApp, DataType, DataPIN, DataAPB are missing)</source>
        <translation>不是卡片文件（缺少卡片字段 DataNO、DataID、DataApp、DataType、DataPIN、DataAPB）</translation>
    </message>
</context>
<context>
    <name>CardSync</name>
    <message>
        <source>the card list holds no cards; nothing was sent, as a sync would empty every number of the range</source>
        <translation>卡片清单中没有卡片；未发送任何数据，因为同步会清空范围内的每个卡号</translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) of the card list cannot be written; nothing was sent</source>
        <translation>
            <numerusform>卡片清单中有 %n 行无法写入；未发送任何数据</numerusform>
        </translation>
    </message>
    <message>
        <source>the link could not be opened</source>
        <translation>无法打开连接</translation>
    </message>
    <message>
        <source>the read was cancelled; nothing was written</source>
        <translation>读取已取消；未写入任何数据</translation>
    </message>
    <message>
        <source>the sync was cancelled</source>
        <translation>同步已取消</translation>
    </message>
    <message>
        <source>the controller stopped answering</source>
        <translation>设备停止响应</translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1</source>
        <translation>
            <numerusform>有 %n 个卡号无法读取：%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) were left as they were: %1</source>
        <translation>
            <numerusform>有 %n 个卡号保持原状：%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) are not confirmed as the list has them: %1</source>
        <translation>
            <numerusform>有 %n 个卡号未确认与清单相同：%1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CardTransfer</name>
    <message>
        <source>the link could not be opened</source>
        <translation>无法打开连接</translation>
    </message>
    <message>
        <source>the read was cancelled</source>
        <translation>读取已取消</translation>
    </message>
    <message>
        <source>the controller stopped answering</source>
        <translation>设备停止响应</translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1</source>
        <translation>
            <numerusform>有 %n 个卡片编号无法读取：%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) were not written because they are not valid</source>
        <translation>
            <numerusform>有 %n 行数据无效，未写入</numerusform>
        </translation>
    </message>
    <message>
        <source>deleting all cards was refused; the earlier cards are still in the controller</source>
        <translation>设备拒绝删除全部卡片；原有的卡片仍在设备中</translation>
    </message>
    <message>
        <source>deleting all cards got no usable reply; whether the earlier cards were deleted is not known</source>
        <translation>删除全部卡片没有得到可用的响应；无法得知原有的卡片是否已删除</translation>
    </message>
    <message>
        <source>the controller answers, but not the card reads; the read stopped</source>
        <translation>设备有响应，但不响应读取卡片；读取已停止</translation>
    </message>
    <message>
        <source>the controller answers, but not the card writes; the write stopped</source>
        <translation>设备有响应，但不响应写入卡片；写入已停止</translation>
    </message>
    <message>
        <source>cancelled before every card was written</source>
        <translation>在全部卡片写入完成前已取消</translation>
    </message>
    <message numerus="yes">
        <source>%n card(s) were not accepted: %1</source>
        <translation>
            <numerusform>有 %n 张卡片未被设备接受：%1</numerusform>
        </translation>
    </message>
    <message>
        <source>… (%1 more)</source>
        <translation>…（还有 %1 个）</translation>
    </message>
    <message>
        <source>row %1: %2</source>
        <translation>第 %1 行：%2</translation>
    </message>
    <message>
        <source>card number %1 is also in row %2 with another card; the controller keeps one card per number</source>
        <translation>卡片编号 %1 也在第 %2 行，卡片不同；控制器每个编号只保存一张卡片</translation>
    </message>
    <message numerus="yes">
        <source>every card in the controller was deleted first; it now holds only the %n card(s) written since</source>
        <translation>
            <numerusform>控制器中的全部卡片已先删除；目前只有之后写入的 %n 张卡片</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CardsOutsideRange</name>
    <message numerus="yes">
        <source>the controller holds %n card(s) outside the numbers %1 to %2 that the backup read: %3</source>
        <translation>
            <numerusform>控制器在备份读取的卡号 %1 至 %2 以外有 %n 张卡片：%3</numerusform>
        </translation>
    </message>
    <message>
        <source>the cards outside the numbers %1 to %2 could not be checked: %3</source>
        <translation>无法检查卡号 %1 至 %2 以外的卡片：%3</translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) outside the backup&apos;s range could not be read: %1</source>
        <translation>
            <numerusform>备份范围以外有 %n 个卡号无法读取：%1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CommandCheck</name>
    <message>
        <source>the value holds control characters</source>
        <translation>数值含有控制字符</translation>
    </message>
    <message>
        <source>the value holds characters the controller cannot take</source>
        <translation>数值含有设备无法接受的字符</translation>
    </message>
    <message>
        <source>not a parameter code</source>
        <translation>不是参数代码</translation>
    </message>
    <message>
        <source>the command would be longer than %1 characters</source>
        <translation>命令会超过 %1 个字符</translation>
    </message>
</context>
<context>
    <name>DataPacketReader</name>
    <message>
        <source>the file holds no XML element</source>
        <translation>文件中没有任何 XML 元素</translation>
    </message>
    <message>
        <source>not a data packet: the document element is &lt;%1&gt;</source>
        <translation>不是数据包：文档根元素为 &lt;%1&gt;</translation>
    </message>
    <message>
        <source>rows come before the field definitions</source>
        <translation>数据行出现在字段定义之前</translation>
    </message>
    <message>
        <source>the data packet has no field definitions</source>
        <translation>数据包没有字段定义</translation>
    </message>
    <message>
        <source>the data packet defines no fields</source>
        <translation>数据包未定义任何字段</translation>
    </message>
    <message>
        <source>FIELD has no usable attrname (&quot;%1&quot;)</source>
        <translation>FIELD 没有可用的 attrname（“%1”）</translation>
    </message>
    <message>
        <source>field &quot;%1&quot; is defined twice</source>
        <translation>字段“%1”重复定义</translation>
    </message>
    <message>
        <source>field &quot;%1&quot; has the width &quot;%2&quot;</source>
        <translation>字段“%1”的宽度“%2”无效</translation>
    </message>
    <message>
        <source>%1: line %2, column %3: %4</source>
        <translation>%1：第 %2 行，第 %3 列：%4</translation>
    </message>
    <message>
        <source>%1: line %2: %3</source>
        <translation>%1：第 %2 行：%3</translation>
    </message>
</context>
<context>
    <name>DataPacketWriter</name>
    <message>
        <source>a field name holds the character %1, which a data packet cannot carry</source>
        <translation>字段名称含有字符 %1，数据包无法保存该字符</translation>
    </message>
    <message>
        <source>row %1, field %2 holds the character %3, which a data packet cannot carry</source>
        <translation>第 %1 行的字段 %2 含有字符 %3，数据包无法保存该字符</translation>
    </message>
</context>
<context>
    <name>EventArchive</name>
    <message>
        <source>the archive cannot be written (read-only): %1</source>
        <translation>无法写入数据库（只读）：%1</translation>
    </message>
    <message>
        <source>the disk is full: %1</source>
        <translation>磁盘已满：%1</translation>
    </message>
    <message>
        <source>not a database: %1</source>
        <translation>不是数据库：%1</translation>
    </message>
    <message>
        <source>another program keeps the archive busy: %1</source>
        <translation>数据库正被其他程序占用：%1</translation>
    </message>
    <message>
        <source>no connection to the database server: %1</source>
        <translation>无法连接到数据库服务器：%1</translation>
    </message>
    <message>
        <source>the SQLite driver of Qt SQL (libqt6sql6-sqlite) is not installed</source>
        <translation>未安装 Qt SQL 的 SQLite 驱动程序（libqt6sql6-sqlite）</translation>
    </message>
    <message>
        <source>the PostgreSQL driver of Qt SQL (libqt6sql6-psql) is not installed</source>
        <translation>未安装 Qt SQL 的 PostgreSQL 驱动程序（libqt6sql6-psql）</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>不是文件</translation>
    </message>
    <message>
        <source>there is no archive</source>
        <translation>数据库不存在</translation>
    </message>
    <message>
        <source>the folder %1 does not exist</source>
        <translation>文件夹 %1 不存在</translation>
    </message>
    <message>
        <source>cannot be read: %1</source>
        <translation>无法读取：%1</translation>
    </message>
    <message>
        <source>not a database (not an SQLite file)</source>
        <translation>不是数据库（不是 SQLite 文件）</translation>
    </message>
    <message>
        <source>cannot open the archive</source>
        <translation>无法打开数据库</translation>
    </message>
    <message>
        <source>cannot begin a transaction</source>
        <translation>无法开始事务</translation>
    </message>
    <message>
        <source>the transaction did not commit</source>
        <translation>事务未能提交</translation>
    </message>
    <message>
        <source>cannot lock the schema</source>
        <translation>无法锁定数据表结构</translation>
    </message>
    <message>
        <source>cannot read the archive</source>
        <translation>无法读取数据库</translation>
    </message>
    <message>
        <source>cannot read the archive&apos;s version</source>
        <translation>无法读取数据库的版本</translation>
    </message>
    <message>
        <source>the database of another program (it holds tables that are not the archive&apos;s); nothing was changed</source>
        <translation>这是其他程序的数据库（含有不属于本数据库的数据表）；未做任何更改</translation>
    </message>
    <message>
        <source>not an archive yet: no events were stored there</source>
        <translation>尚不是记录数据库：其中未存入任何记录</translation>
    </message>
    <message>
        <source>made by a newer version of this program (archive version %1, this program knows up to %2); nothing was changed</source>
        <translation>由本程序的较新版本创建（数据库版本 %1，本程序最高支持 %2）；未做任何更改</translation>
    </message>
    <message>
        <source>cannot bring the archive to version %1</source>
        <translation>无法将数据库升级到版本 %1</translation>
    </message>
    <message>
        <source>cannot write to the archive</source>
        <translation>无法写入数据库</translation>
    </message>
    <message>
        <source>cannot store the controller&apos;s name</source>
        <translation>无法存入控制器的名称</translation>
    </message>
    <message>
        <source>cannot store the events</source>
        <translation>无法存入记录</translation>
    </message>
    <message>
        <source>cannot search the archive</source>
        <translation>无法查询数据库</translation>
    </message>
    <message>
        <source>cannot count the events</source>
        <translation>无法统计记录数</translation>
    </message>
    <message>
        <source>archive version %1 is brought up to date at its first write, and this file cannot be written</source>
        <translation>数据库版本 %1 须在首次写入时升级，而此文件无法写入</translation>
    </message>
</context>
<context>
    <name>LoopbackOnly</name>
    <message>
        <source>%1 is outside 127.0.0.0/8 and KT480_LOOPBACK_ONLY=1 is set: refused, nothing was sent</source>
        <translation>%1 不在 127.0.0.0/8 之内，且已设置 KT480_LOOPBACK_ONLY=1：已拒绝，未发送任何数据</translation>
    </message>
</context>
<context>
    <name>NetworkSearch</name>
    <message>
        <source>%1 is not the first three parts of an IPv4 address</source>
        <translation>%1 不是 IPv4 地址的前三段</translation>
    </message>
    <message>
        <source>the address range %1-%2 is not within 0-255 in ascending order</source>
        <translation>地址范围 %1-%2 必须在 0-255 之间且由小到大</translation>
    </message>
    <message>
        <source>port 0 cannot be searched</source>
        <translation>无法搜索端口 0</translation>
    </message>
    <message>
        <source>the Device ID range %1-%2 is not within 0-9999 in ascending order</source>
        <translation>设备编号范围 %1-%2 必须在 0-9999 之间且由小到大</translation>
    </message>
</context>
<context>
    <name>OutcomeText</name>
    <message>
        <source> and %1 more</source>
        <translation>，另有 %1 个</translation>
    </message>
</context>
<context>
    <name>PageParameterIo</name>
    <message>
        <source>%1: not a page parameter</source>
        <translation>%1：不是本页的参数</translation>
    </message>
    <message>
        <source>%1: no answer</source>
        <translation>%1：没有响应</translation>
    </message>
    <message>
        <source>%1: answer &quot;%2&quot; is not one of its values</source>
        <translation>%1：响应值“%2”不是可用的选项</translation>
    </message>
    <message>
        <source>%1: not written</source>
        <translation>%1：未写入</translation>
    </message>
    <message numerus="yes">
        <source>The controller stopped answering at %1; %n rows were not written.</source>
        <translation>
            <numerusform>控制器在 %1 停止响应；有 %n 行未写入。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The controller stopped answering at %1; %n rows were not read.</source>
        <translation>
            <numerusform>控制器在 %1 停止响应；有 %n 行未读取。</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: refused by the controller</source>
        <translation>%1：控制器拒绝</translation>
    </message>
    <message>
        <source>%1: empty answer</source>
        <translation>%1：响应为空</translation>
    </message>
    <message>
        <source>%1: refused by the controller, not written</source>
        <translation>%1：控制器拒绝，未写入</translation>
    </message>
    <message>
        <source>%1: no value to write</source>
        <translation>%1：没有要写入的数值</translation>
    </message>
    <message numerus="yes">
        <source>Cancelled at %1; %n rows were not written.</source>
        <translation>
            <numerusform>已在 %1 取消；有 %n 行未写入。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled at %1; %n rows were not read.</source>
        <translation>
            <numerusform>已在 %1 取消；有 %n 行未读取。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ParamDefaults</name>
    <message>
        <source>%1: default not written</source>
        <translation>%1：默认值未写入</translation>
    </message>
    <message>
        <source>not sent: %1</source>
        <translation>未发送：%1</translation>
    </message>
</context>
<context>
    <name>ParamFileTransfer</name>
    <message>
        <source>(empty code, row %1)</source>
        <translation>（空代码，第 %1 行）</translation>
    </message>
    <message>
        <source>No export file is chosen.</source>
        <translation>尚未选择导出文件。</translation>
    </message>
    <message>
        <source>The controller does not answer; nothing was read and no file was written.</source>
        <translation>设备没有响应；未读取任何数据，也未写入文件。</translation>
    </message>
    <message numerus="yes">
        <source>%n values were not read: the controller answered, but every reply was damaged: %1</source>
        <translation>
            <numerusform>有 %n 个数值未读取：设备有响应，但每次响应都已损坏：%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n codes never answered. The line lost replies, so the controller may hold some of them: %1</source>
        <translation>
            <numerusform>有 %n 个代码始终没有响应。由于线路曾丢失响应，设备可能仍有其中部分代码：%1</numerusform>
        </translation>
    </message>
    <message>
        <source>The controller answered no parameter code; no file was written.</source>
        <translation>设备未响应任何参数代码；未写入文件。</translation>
    </message>
    <message>
        <source>The link was lost at %1 before any value was read; no file was written.</source>
        <translation>尚未读取任何数值，连接就已在 %1 中断；未写入文件。</translation>
    </message>
    <message numerus="yes">
        <source>The link was lost at %1; the backup holds only the %n values read before.</source>
        <translation>
            <numerusform>连接已在 %1 中断；备份只包含之前读取的 %n 个数值。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The backup is incomplete (%n values). Replace the earlier file %1 with it?</source>
        <translation>
            <numerusform>备份不完整（%n 个数值）。要用它替换原有的文件 %1 吗？</numerusform>
        </translation>
    </message>
    <message>
        <source>The earlier file %1 was kept.</source>
        <translation>已保留原有的文件 %1。</translation>
    </message>
    <message>
        <source>The incomplete backup was written to %1.</source>
        <translation>不完整的备份已写入 %1。</translation>
    </message>
    <message>
        <source>No import file is chosen.</source>
        <translation>尚未选择导入文件。</translation>
    </message>
    <message>
        <source>%1: the file does not exist.</source>
        <translation>%1：文件不存在。</translation>
    </message>
    <message>
        <source>%1: not a parameter file (no %2 and %3 fields).</source>
        <translation>%1：不是参数文件（没有 %2 和 %3 字段）。</translation>
    </message>
    <message>
        <source>%1: the file holds no parameter rows.</source>
        <translation>%1：文件中没有参数数据。</translation>
    </message>
    <message>
        <source>The controller does not answer; nothing was written.</source>
        <translation>设备没有响应；未写入任何数据。</translation>
    </message>
    <message numerus="yes">
        <source>%n rows not sent (not a parameter code, or a value with control characters or too long): %1</source>
        <translation>
            <numerusform>有 %n 行未发送（不是参数代码，或数值含有控制字符或过长）：%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows not taken by the controller: %1</source>
        <translation>
            <numerusform>有 %n 行未被设备接受：%1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The link was lost at %1; %n rows were not sent.</source>
        <translation>
            <numerusform>连接已在 %1 中断；有 %n 行未发送。</numerusform>
        </translation>
    </message>
    <message>
        <source>The backup was cancelled at %1; no file was written.</source>
        <translation>备份已在 %1 取消；未写入文件。</translation>
    </message>
    <message numerus="yes">
        <source>The restore was cancelled at %1; %n rows were not sent.</source>
        <translation>
            <numerusform>还原已在 %1 取消；有 %n 行未发送。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n values were written.</source>
        <translation>
            <numerusform>已写入 %n 个数值。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ParamResult</name>
    <message>
        <source> and %1 more</source>
        <translation>，另有 %1 个</translation>
    </message>
</context>
<context>
    <name>ReadOutcome</name>
    <message numerus="yes">
        <source>%n event(s) read.</source>
        <translation>
            <numerusform>已读取 %n 条记录。</numerusform>
        </translation>
    </message>
    <message>
        <source>The controller&apos;s event log was read to its end.</source>
        <translation>已读取完设备中的全部进出记录。</translation>
    </message>
    <message numerus="yes">
        <source>The read stopped at the limit of %n event(s).</source>
        <translation>
            <numerusform>已达上限 %n 条记录，读取停止。</numerusform>
        </translation>
    </message>
    <message>
        <source>The read was cancelled by the user.</source>
        <translation>读取已由用户取消。</translation>
    </message>
    <message>
        <source>The read was stopped by errors:</source>
        <translation>读取因错误而停止：</translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) are still in the controller.</source>
        <translation>
            <numerusform>设备中还有 %n 条记录。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) of an unknown kind were kept with code 0.</source>
        <translation>
            <numerusform>有 %n 条未知类型的记录，已以代码 0 保留。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) sent again by the controller were kept once.</source>
        <translation>
            <numerusform>设备重复发送的 %n 条记录只保留一次。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RecordFile</name>
    <message>
        <source>not a record file (the record fields IONO, CardNO, DataTime, iStatus, SStatus, iChannel, APB are missing)</source>
        <translation>不是记录文件（缺少记录字段 IONO、CardNO、DataTime、iStatus、SStatus、iChannel、APB）</translation>
    </message>
</context>
<context>
    <name>RecordJournal</name>
    <message>
        <source>%1: cannot create the folder</source>
        <translation>%1：无法创建文件夹</translation>
    </message>
    <message>
        <source>%1: another program is reading this controller&apos;s events</source>
        <translation>%1：另一个程序正在读取此设备的记录</translation>
    </message>
    <message>
        <source>%1: cannot read the journal: %2</source>
        <translation>%1：无法读取日志文件：%2</translation>
    </message>
    <message>
        <source>%1: cannot write the journal: %2</source>
        <translation>%1：无法写入日志文件：%2</translation>
    </message>
    <message>
        <source>%1: the journal is not open</source>
        <translation>%1：日志文件未打开</translation>
    </message>
    <message>
        <source>the disk is full or the file too large</source>
        <translation>磁盘已满或文件过大</translation>
    </message>
    <message>
        <source>%1: cannot clear the journal: %2</source>
        <translation>%1：无法清除日志文件：%2</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n line(s) cannot be read as events (line %2); they are kept in the journal, and may each be an event that is in no file: look at them before the journal is removed.</source>
        <translation>
            <numerusform>%1：有 %n 行无法读成事件（第 %2 行）；这些行保留在日志文件中，每一行都可能是不在任何文件中的事件：删除日志文件前请先查看。</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: an event without date and time or event code is not journalled</source>
        <translation>%1：没有日期时间或事件代码的事件不记入日志文件</translation>
    </message>
</context>
<context>
    <name>RecordReader</name>
    <message>
        <source>the link is not open</source>
        <translation>连接未打开</translation>
    </message>
    <message>
        <source>no reply</source>
        <translation>没有响应</translation>
    </message>
    <message>
        <source>damaged replies</source>
        <translation>响应已损坏</translation>
    </message>
    <message>
        <source>a reply of the wrong length</source>
        <translation>响应长度错误</translation>
    </message>
    <message>
        <source>replies cut short</source>
        <translation>响应不完整</translation>
    </message>
    <message>
        <source>more than one reply at once</source>
        <translation>同时收到多个响应</translation>
    </message>
    <message>
        <source>refused by the controller</source>
        <translation>被设备拒绝</translation>
    </message>
    <message>
        <source>The link to the controller cannot be opened.</source>
        <translation>无法打开与设备的连接。</translation>
    </message>
    <message>
        <source>The event cannot be kept on disk, so it was not acknowledged and stays in the controller:</source>
        <translation>记录无法保存到磁盘，因此未向设备确认，记录仍留在设备中：</translation>
    </message>
    <message>
        <source>The controller did not confirm the acknowledgement of event %1 (%2); the event is kept, and if the controller sends it again it is taken once.</source>
        <translation>设备未确认记录 %1 的接收确认（%2）；此记录已保留，若设备再次发送，只会收录一次。</translation>
    </message>
    <message>
        <source>The next event could not be read (%1).</source>
        <translation>下一笔记录无法读取（%1）。</translation>
    </message>
    <message numerus="yes">
        <source>The controller sent the same event %n time(s) in a row although it confirmed each acknowledgement; the read stops.</source>
        <translation>
            <numerusform>设备连续 %n 次发送同一条记录，虽然每次都确认了接收确认；读取已停止。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RecordReport</name>
    <message>
        <source>cannot create the folder</source>
        <translation>无法创建文件夹</translation>
    </message>
    <message>
        <source>cannot write the file: %1</source>
        <translation>无法写入文件：%1</translation>
    </message>
    <message>
        <source>cannot draw the report</source>
        <translation>无法绘制报表</translation>
    </message>
    <message>
        <source>cannot complete the file: %1</source>
        <translation>无法完成文件：%1</translation>
    </message>
</context>
<context>
    <name>ReplyTally</name>
    <message numerus="yes">
        <source>the line delivered %n reply(ies) that no command was waiting for (replies sent twice?), so values read may belong to other numbers: read again, over TCP on a UDP network</source>
        <translation>
            <numerusform>线路送来 %n 个没有指令在等待的响应（响应被重复发送？），读到的值可能属于其他编号：请重新读取，在 UDP 网络上请改用 TCP</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SdCardOperation</name>
    <message>
        <source>Controller SD card: no answer to the status request.</source>
        <translation>设备 SD 卡：状态查询没有响应。</translation>
    </message>
    <message>
        <source>Controller SD card: idle.</source>
        <translation>设备 SD 卡：空闲。</translation>
    </message>
    <message>
        <source>Controller SD card: SD backup running, %1 done.</source>
        <translation>设备 SD 卡：SD 备份进行中，已完成 %1。</translation>
    </message>
    <message>
        <source>Controller SD card: SD restore running, %1 done.</source>
        <translation>设备 SD 卡：SD 还原进行中，已完成 %1。</translation>
    </message>
    <message>
        <source>Controller SD card: unknown state &quot;%1&quot;.</source>
        <translation>设备 SD 卡：未知状态“%1”。</translation>
    </message>
    <message>
        <source>The controller did not tell whether its SD card is free.</source>
        <translation>设备未回报其 SD 卡是否可用。</translation>
    </message>
    <message>
        <source>The controller did not accept the start.</source>
        <translation>设备未接受开始命令。</translation>
    </message>
    <message>
        <source>The controller accepted the start, but the copy never showed as running.</source>
        <translation>设备已接受开始命令，但始终未显示复制进行中。</translation>
    </message>
    <message>
        <source>The controller did not report the end of the copy in time, or stopped answering. It may still be working: leave it switched on. Its SD state is shown the next time it is asked.

Last known: %1</source>
        <translation>设备未在时限内回报复制完成，或已停止响应。设备可能仍在工作：请勿关闭电源。下次查询时会显示其 SD 状态。

最后已知状态：%1</translation>
    </message>
    <message>
        <source>KT480NT System Busy!! [Backup...] </source>
        <translation>KT480NT 系统忙碌中!! [SD 备份进行中...] </translation>
    </message>
    <message>
        <source>KT480NT System Busy!! [Restore...] </source>
        <translation>KT480NT 系统忙碌中!! [SD 还原进行中...] </translation>
    </message>
    <message>
        <source>KT480NT System Busy [Backup...]!</source>
        <translation>KT480NT 系统忙碌中 [SD 备份进行中...]!</translation>
    </message>
    <message>
        <source>KT480NT System Busy [Restore...]!</source>
        <translation>KT480NT 系统忙碌中 [SD 还原进行中...]!</translation>
    </message>
    <message>
        <source>Cancelled: the utility stopped following the copy. The controller&apos;s copy goes on by itself: leave it switched on. Its SD state is shown the next time it is asked.

Last known: %1</source>
        <translation>已取消：本程序已停止跟踪复制进度。设备会自行继续复制：请勿关闭电源。下次查询时会显示其 SD 状态。

最后已知状态：%1</translation>
    </message>
    <message>
        <source>Cancelled before the copy was started: the controller was not told to copy.</source>
        <translation>在开始复制之前已取消：未通知设备进行复制。</translation>
    </message>
</context>
<context>
    <name>ShownEventText</name>
    <message>
        <source>Unknown event %1 channel %2</source>
        <translation>未知事件 %1 通道 %2</translation>
    </message>
</context>
<context>
    <name>SyncCounts</name>
    <message>
        <source>Written: %1, cleared: %2, unchanged: %3, unreadable: %4, failed: %5</source>
        <translation>已写入：%1，已清除：%2，未变更：%3，无法读取：%4，失败：%5</translation>
    </message>
</context>
<context>
    <name>TableCsv</name>
    <message>
        <source>text follows a closing quote</source>
        <translation>结束引号后还有文字</translation>
    </message>
    <message>
        <source>a quote inside an unquoted value</source>
        <translation>未加引号的值中出现引号</translation>
    </message>
    <message>
        <source>a quoted value is not closed</source>
        <translation>引号内的值没有结束引号</translation>
    </message>
    <message>
        <source>%1: line %2: %3</source>
        <translation>%1：第 %2 行：%3</translation>
    </message>
    <message>
        <source>%1: nothing to write (the table is inactive)</source>
        <translation>%1：没有可写入的数据（表格未启用）</translation>
    </message>
    <message>
        <source>%1: cannot write the file: %2</source>
        <translation>%1：无法写入文件：%2</translation>
    </message>
    <message>
        <source>no header row</source>
        <translation>没有标题行</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be a field name (letters, digits, _ - . only, each name once)</source>
        <translation>“%1”不能作为字段名称（只能使用英文字母、数字及 _ - .，且每个名称只能出现一次）</translation>
    </message>
    <message>
        <source>%1 values where the header names %2 fields</source>
        <translation>有 %1 个值，但标题行有 %2 个字段</translation>
    </message>
    <message>
        <source>unusable header</source>
        <translation>标题行无法使用</translation>
    </message>
</context>
<context>
    <name>TableFile</name>
    <message>
        <source>%1: no such file</source>
        <translation>%1：文件不存在</translation>
    </message>
    <message>
        <source>%1: cannot create the folder</source>
        <translation>%1：无法创建文件夹</translation>
    </message>
</context>
<context>
    <name>TableFileLimit</name>
    <message>
        <source>%1: the file holds %2 MB; table files above %3 MB are not read</source>
        <translation>%1：文件大小为 %2 MB；超过 %3 MB 的表格文件不会读取</translation>
    </message>
    <message>
        <source>%1: not a file</source>
        <translation>%1：不是文件</translation>
    </message>
    <message>
        <source>%1: cannot open the file: %2</source>
        <translation>%1：无法打开文件：%2</translation>
    </message>
    <message>
        <source>%1: cannot read the file: %2</source>
        <translation>%1：无法读取文件：%2</translation>
    </message>
</context>
<context>
    <name>TableStore</name>
    <message>
        <source>%1: nothing to save (the table is inactive or empty)</source>
        <translation>%1：没有可保存的数据（表格未启用或为空）</translation>
    </message>
    <message>
        <source>%1: cannot be saved: %2</source>
        <translation>%1：无法保存：%2</translation>
    </message>
    <message>
        <source>%1: cannot write the file: %2</source>
        <translation>%1：无法写入文件：%2</translation>
    </message>
    <message>
        <source>%1: cannot complete the file: %2</source>
        <translation>%1：无法完成文件：%2</translation>
    </message>
    <message>
        <source>%1: the field definitions are unusable</source>
        <translation>%1：字段定义无法使用</translation>
    </message>
</context>
<context>
    <name>TextDecoding</name>
    <message>
        <source>the text is not valid %1</source>
        <translation>文本不是有效的 %1 编码</translation>
    </message>
</context>
<context>
    <name>TfrmCardData</name>
    <message>
        <source>The read was cancelled; the cards after the last one read were not read.</source>
        <translation>读取已取消；最后读取的卡片之后的卡片都未读取。</translation>
    </message>
    <message>
        <source>The controller stopped answering.</source>
        <translation>设备停止响应。</translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1

The card list is not complete. Read these numbers again?</source>
        <translation>
            <numerusform>有 %n 个卡片编号无法读取：%1

卡片列表不完整。要重新读取这些卡片编号吗？</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) cannot be written:
%1

Write the other rows without them? Otherwise nothing is deleted or written.</source>
        <translation>
            <numerusform>有 %n 行无法写入：
%1

要跳过这些行，写入其他行吗？若选“否”，则不会删除或写入任何数据。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card(s) written.</source>
        <translation>
            <numerusform>已写入 %n 张卡片。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Card ID &quot;%1&quot; has %n character(s), not 16: this card was not added. Present it again.</source>
        <translation>
            <numerusform>卡号“%1”有 %n 个字符，不是 16 个：此卡片未添加。请再刷一次卡。</numerusform>
        </translation>
    </message>
    <message>
        <source>The card table holds cards added or changed in this window that are neither written to the controller nor saved to a file.

Lose them?</source>
        <translation>卡片表中有在此窗口新增或修改的卡片，尚未写入控制器，也未保存为文件。

要放弃这些卡片吗？</translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) cannot be written:
%1

Nothing is deleted or written.</source>
        <translation>
            <numerusform>有 %n 行无法写入：
%1

不会删除或写入任何卡片。</numerusform>
        </translation>
    </message>
    <message>
        <source>MELOK9 does not answer: check its cable and power.</source>
        <translation>MELOK9 没有响应：请检查连接线和电源。</translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1

The card list is not complete. The link to the controller is closed: connect again in the main window, then read these numbers.</source>
        <translation>
            <numerusform>有 %n 个卡片编号无法读取：%1

卡片列表不完整。与设备的连接已关闭：请在主窗口重新连接，再读取这些卡片编号。</numerusform>
        </translation>
    </message>
    <message>
        <source>Delete every card in the controller %1?

The controller then admits no card until cards are written to it again. This cannot be undone.</source>
        <translation>要删除设备 %1 中的全部卡片吗？

在重新写入卡片之前，设备将不允许任何卡片通行。此操作无法恢复。</translation>
    </message>
    <message>
        <source>The controller deleted every card. Cancel cut short the wait while it clears its card memory: give it a few seconds before cards are written to it.</source>
        <translation>设备已删除全部卡片。“取消”缩短了等待设备清除卡片内存的时间：写入卡片之前请稍候几秒。</translation>
    </message>
    <message>
        <source>The controller did not confirm the delete; its cards may be unchanged.</source>
        <translation>设备未确认删除；其中的卡片可能没有变更。</translation>
    </message>
    <message>
        <source>Write changes only</source>
        <translation>只写入变更</translation>
    </message>
    <message>
        <source>Writes only the card numbers that differ from the list; no card is deleted first</source>
        <translation>只写入与清单不同的卡号；不会先删除任何卡片</translation>
    </message>
    <message>
        <source>No card number was written.</source>
        <translation>没有写入任何卡号。</translation>
    </message>
    <message>
        <source>Card numbers now as the list has them: %1</source>
        <translation>已与清单相同的卡号：%1</translation>
    </message>
</context>
<context>
    <name>TfrmComSearch</name>
    <message>
        <source>Thorough</source>
        <translation>完整搜索</translation>
    </message>
    <message>
        <source>Try every Device ID at every line setting, also where no controller answers the broadcast query (slow).</source>
        <translation>在每一种通讯设置下尝试每一个设备编号，即使没有设备响应广播查询也照样尝试（较慢）。</translation>
    </message>
    <message>
        <source>A controller with Device ID %1 answers at %2 %3, outside the Device IDs searched.</source>
        <translation>设备编号 %1 的控制器在 %2 %3 响应，不在搜索的设备编号范围内。</translation>
    </message>
</context>
<context>
    <name>TfrmDownload</name>
    <message>
        <source>Choose the parameter file…</source>
        <translation>选择参数文件…</translation>
    </message>
    <message>
        <source>Choose the card data file…</source>
        <translation>选择卡片资料文件…</translation>
    </message>
    <message>
        <source>The backup replaces these files:
%1

Replace them?</source>
        <translation>备份会取代这些文件：
%1

要取代吗？</translation>
    </message>
    <message>
        <source>Write changes only</source>
        <translation>只写入变更</translation>
    </message>
    <message>
        <source>Write only the cards that differ from the card file, each read back; no card is deleted first, so the doors keep admitting the cards both hold.</source>
        <translation>只写入与卡片文件不同的卡片，每张写入后读回核对；不先删除任何卡片，因此双方都有的卡片在过程中仍可开门。</translation>
    </message>
</context>
<context>
    <name>TfrmIOdata</name>
    <message>
        <source>Events cannot be read from the controller while the journal that keeps them safe cannot be written.</source>
        <translation>保存记录用的日志文件无法写入，因此无法从设备读取记录。</translation>
    </message>
    <message numerus="yes">
        <source>An earlier read of controller %1 left %n event(s) that were acknowledged but never saved in a file. The controller no longer holds them.

Take them into the table? If not, these %n event(s) are lost.</source>
        <translation>
            <numerusform>先前读取设备 %1 时，有 %n 条记录已向设备确认，但从未保存到文件，设备中已不再保有这些记录。

要将它们加入表格吗？若不加入，这 %n 条记录将会丢失。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n unsaved event(s) taken from the journal.</source>
        <translation>
            <numerusform>已从日志文件取回 %n 条未保存的记录。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) read from the controller are not saved in a file, and the controller no longer holds them. %1 and lose these %n event(s)?</source>
        <translation>
            <numerusform>从设备读取的 %n 条记录尚未保存到文件，设备中也已不再保有这些记录。要%1并丢失这 %n 条记录吗？</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) are not yet saved in a file: use &quot;Write to file&quot;.</source>
        <translation>
            <numerusform>有 %n 条记录尚未保存到文件：请使用“写入文件”。</numerusform>
        </translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF 文件 (*.pdf)</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>已保存 %1</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV 文件 (*.csv)</translation>
    </message>
    <message>
        <source>Load the file</source>
        <translation>加载文件</translation>
    </message>
    <message>
        <source>Clear the table</source>
        <translation>清除表格</translation>
    </message>
    <message>
        <source>Export PDF</source>
        <translation>导出 PDF</translation>
    </message>
    <message>
        <source>Save the report as a PDF file</source>
        <translation>将报表保存为 PDF 文件</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>导出 CSV</translation>
    </message>
    <message>
        <source>Save the table as a CSV file for a spreadsheet</source>
        <translation>将表格保存为 CSV 文件，供电子表格使用</translation>
    </message>
    <message numerus="yes">
        <source>These %n event(s) are in no file, and the controller no longer holds them. Lose them for good?</source>
        <translation>
            <numerusform>这 %n 条记录不在任何文件中，控制器也已不再保存。确定要永久舍弃吗？</numerusform>
        </translation>
    </message>
    <message>
        <source>The table holds events loaded from a file, which does not say which controller they are of. Store all of them in the archive as events of controller %1?</source>
        <translation>表格中的记录是从文件加载的，文件未注明其所属的控制器。要将这些记录全部作为控制器 %1 的记录存入数据库吗？</translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) added to the archive, %1 there already.</source>
        <translation>
            <numerusform>已存入数据库 %n 条记录，%1 条已在其中。</numerusform>
        </translation>
    </message>
    <message>
        <source>Save to archive</source>
        <translation>存入数据库</translation>
    </message>
    <message>
        <source>Store the table&apos;s events in the event archive</source>
        <translation>将表格中的记录存入记录数据库</translation>
    </message>
</context>
<context>
    <name>TfrmKT480NT5</name>
    <message>
        <source>Save log…</source>
        <translation>保存通讯日志…</translation>
    </message>
    <message>
        <source>text files(*.txt)</source>
        <translation>文本文件(*.txt)</translation>
    </message>
</context>
<context>
    <name>TfrmParameter</name>
    <message>
        <source>The operation ended unexpectedly.</source>
        <translation>操作意外结束。</translation>
    </message>
    <message>
        <source>Choose the export file…</source>
        <translation>选择导出文件…</translation>
    </message>
    <message>
        <source>Choose the import file…</source>
        <translation>选择导入文件…</translation>
    </message>
</context>
<context>
    <name>WholeFileCommit</name>
    <message>
        <source>not every byte could be written: the disk is full, or the file is larger than this program may write</source>
        <translation>无法写入全部数据：磁盘已满，或文件超过本程序可写入的大小</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Program is already running!</source>
        <translation>程序已在运行!</translation>
    </message>
</context>
</TS>
