<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en_US">
<context>
    <name>StringTable</name>
    <message>
        <source>102</source>
        <extracomment>Windows socket init failed.</extracomment>
        <translation>Windows 套接字初始化失败。</translation>
    </message>
    <message>
        <source>10000</source>
        <extracomment>Error</extracomment>
        <translation>错误</translation>
    </message>
    <message>
        <source>10001</source>
        <extracomment>Note</extracomment>
        <translation>提示</translation>
    </message>
    <message>
        <source>10002</source>
        <extracomment>Success</extracomment>
        <translation>成功</translation>
    </message>
    <message>
        <source>10003</source>
        <extracomment>Start</extracomment>
        <translation>开始</translation>
    </message>
    <message>
        <source>10004</source>
        <extracomment>Pause</extracomment>
        <translation>暂停</translation>
    </message>
    <message>
        <source>10005</source>
        <extracomment>Scroll (+Ctrl): Zoom Y(X) axis&#xd;
 Click: Shift X/Y axis&#xd;
 Double click: Reset</extracomment>
        <translation>滚轮(+CTRL): Y(X)轴缩放&#xd;
左键: X/Y轴平移&#xd;
左键双击: 恢复</translation>
    </message>
    <message>
        <source>10100</source>
        <extracomment>Connect</extracomment>
        <translation>连接设备</translation>
    </message>
    <message>
        <source>10101</source>
        <extracomment>Disconn.</extracomment>
        <translation>断开设备</translation>
    </message>
    <message>
        <source>10102</source>
        <extracomment>No Device Detected</extracomment>
        <translation>无串口设备</translation>
    </message>
    <message>
        <source>10103</source>
        <extracomment>Device Not Connected</extracomment>
        <translation>设备未连接</translation>
    </message>
    <message>
        <source>10104</source>
        <extracomment>Failed to open device</extracomment>
        <translation>串口设备打开失败</translation>
    </message>
    <message>
        <source>10106</source>
        <extracomment>Failed to set data transfer mode </extracomment>
        <translation>启动数据透传模式失败</translation>
    </message>
    <message>
        <source>10107</source>
        <extracomment>Failed to set function mode</extracomment>
        <translation>启动功能模式失败</translation>
    </message>
    <message>
        <source>10150</source>
        <extracomment>Succeed reading parameters</extracomment>
        <translation>读取参数成功</translation>
    </message>
    <message>
        <source>10151</source>
        <extracomment>Failed to read parameters</extracomment>
        <translation>读取参数失败</translation>
    </message>
    <message>
        <source>10152</source>
        <extracomment>Succeed setting parameters</extracomment>
        <translation>写入参数成功</translation>
    </message>
    <message>
        <source>10153</source>
        <extracomment>Failed to set parameters</extracomment>
        <translation>写入参数失败</translation>
    </message>
    <message>
        <source>10200</source>
        <extracomment>Capture Data</extracomment>
        <translation>采集数据</translation>
    </message>
    <message>
        <source>10201</source>
        <extracomment>Stop Capture</extracomment>
        <translation>停止采集</translation>
    </message>
    <message>
        <source>10210</source>
        <extracomment>Energy Information</extracomment>
        <translation>能量信息</translation>
    </message>
    <message>
        <source>10211</source>
        <extracomment>Fraction Power(dB)</extracomment>
        <translation>相对功率(dB)</translation>
    </message>
    <message>
        <source>10212</source>
        <extracomment>Time (sec.)</extracomment>
        <translation>时间(秒)</translation>
    </message>
    <message>
        <source>10213</source>
        <extracomment>--Energy Value</extracomment>
        <translation>--能量值</translation>
    </message>
    <message>
        <source>10214</source>
        <extracomment>--Trigger Threshold</extracomment>
        <translation>--触发门限</translation>
    </message>
    <message>
        <source>10215</source>
        <extracomment>--Hold Threshold</extracomment>
        <translation>--保持门限</translation>
    </message>
    <message>
        <source>10216</source>
        <extracomment>No. %.1fs Target Energy: %.1f dB</extracomment>
        <translation>第%.1fs 目标能量: %.1fdB</translation>
    </message>
    <message>
        <source>10217</source>
        <extracomment>No. %.1fs Trigger Energy: %.1f dB</extracomment>
        <translation>第%.1fs 触发能量: %.1fdB</translation>
    </message>
    <message>
        <source>10218</source>
        <extracomment>No. %.1fs Hold Energy: %.1f dB</extracomment>
        <translation>第%.1fs 保持能量: %.1fdB</translation>
    </message>
    <message>
        <source>10230</source>
        <extracomment>Range Information</extracomment>
        <translation>距离信息</translation>
    </message>
    <message>
        <source>10231</source>
        <extracomment>Range (m)</extracomment>
        <translation>距离(米)</translation>
    </message>
    <message>
        <source>10232</source>
        <extracomment>Time (sec.)</extracomment>
        <translation>时间(秒)</translation>
    </message>
    <message>
        <source>10233</source>
        <extracomment>No.%.1fs Range: %.1f m</extracomment>
        <translation>第%.1fs 距离: %.1f米</translation>
    </message>
    <message>
        <source>10300</source>
        <extracomment>Target Range: %.2f m&#xd;
&#xd;
</extracomment>
        <translation>目标距离: %.2f米&#xd;
</translation>
    </message>
    <message>
        <source>10310</source>
        <extracomment>FP VS RG</extracomment>
        <translation>相对功率VS距离门</translation>
    </message>
    <message>
        <source>10311</source>
        <extracomment>Fraction Power (dB)</extracomment>
        <translation>相对功率(dB)</translation>
    </message>
    <message>
        <source>10312</source>
        <extracomment>0.7 m/Range Gate</extracomment>
        <translation>0.7米/距离门</translation>
    </message>
    <message>
        <source>10313</source>
        <extracomment>--Energy Value</extracomment>
        <translation>--能量值</translation>
    </message>
    <message>
        <source>10314</source>
        <extracomment>--Trigger Threshold</extracomment>
        <translation>--触发门限</translation>
    </message>
    <message>
        <source>10315</source>
        <extracomment>--Hold Threshold</extracomment>
        <translation>--保持门限</translation>
    </message>
    <message>
        <source>10316</source>
        <extracomment>RG No.%d Target Energy: %.1f dB</extracomment>
        <translation>距离门%d 目标能量: %.1fdB</translation>
    </message>
    <message>
        <source>10317</source>
        <extracomment>RG No.%d Trigger Energy: %.1f dB</extracomment>
        <translation>距离门%d 触发能量: %.1fdB</translation>
    </message>
    <message>
        <source>10318</source>
        <extracomment>RG No.%d Hold Energy: %.1f dB</extracomment>
        <translation>距离门%d 保持能量: %.1fdB</translation>
    </message>
    <message>
        <source>10330</source>
        <extracomment>Range VS Time</extracomment>
        <translation>距离VS时间</translation>
    </message>
    <message>
        <source>10331</source>
        <extracomment>Range (m)</extracomment>
        <translation>距离(米)</translation>
    </message>
    <message>
        <source>10332</source>
        <extracomment>Time (sec.)</extracomment>
        <translation>时间(秒)</translation>
    </message>
    <message>
        <source>10333</source>
        <extracomment>No. %.1fs Range: %.1f m</extracomment>
        <translation>第%.1fs 距离: %.1f米</translation>
    </message>
    <message>
        <source>10350</source>
        <extracomment>Generate successed.</extracomment>
        <translation>门限生成成功。</translation>
    </message>
    <message>
        <source>10351</source>
        <extracomment>Generate failed.</extracomment>
        <translation>门限生成失败。</translation>
    </message>
    <message>
        <source>10352</source>
        <extracomment>Generate progress: %3d%%</extracomment>
        <translation>生成进度: %3d%%</translation>
    </message>
    <message>
        <source>10402</source>
        <extracomment>Failed to open the bin file, please check the directory!</extracomment>
        <translation>打开bin文件失败，请检查路径！</translation>
    </message>
    <message>
        <source>10403</source>
        <extracomment>Port No. cannot be NULL!</extracomment>
        <translation>端口号不能为空！</translation>
    </message>
    <message>
        <source>10404</source>
        <extracomment>Failed to open the port device!</extracomment>
        <translation>打开当前端口设备失败！</translation>
    </message>
    <message>
        <source>10405</source>
        <extracomment>Obtaining firmware information&#xd;
</extracomment>
        <translation>开始获取固件信息&#xd;
</translation>
    </message>
    <message>
        <source>10406</source>
        <extracomment>Failed to enable program!&#xd;
</extracomment>
        <translation>使能编程指令失败！&#xd;
</translation>
    </message>
    <message>
        <source>10407</source>
        <extracomment>Failed to obtain operation mode!&#xd;
</extracomment>
        <translation>获取运行模式失败&#xd;
</translation>
    </message>
    <message>
        <source>10408</source>
        <extracomment>Failed to obtain device ID&#xd;
</extracomment>
        <translation>获取设备ID失败&#xd;
</translation>
    </message>
    <message>
        <source>10409</source>
        <extracomment>Failed to obtain program partition information&#xd;
</extracomment>
        <translation>获取编程分区信息失败&#xd;
</translation>
    </message>
    <message>
        <source>10410</source>
        <extracomment>Bin file error!</extracomment>
        <translation>bin文件错误！</translation>
    </message>
    <message>
        <source>10411</source>
        <extracomment>Please choose the download partition!</extracomment>
        <translation>未选择下载分区！</translation>
    </message>
    <message>
        <source>10412</source>
        <extracomment>Software-Reset Failed!&#xd;
</extracomment>
        <translation>软件复位指令失败！&#xd;
</translation>
    </message>
    <message>
        <source>10413</source>
        <extracomment>Failed to send bin file information, error code: %d&#xd;
</extracomment>
        <translation>发送bin文件信息失败，错误代码：%d&#xd;
</translation>
    </message>
    <message>
        <source>10414</source>
        <extracomment>Failed to download, serial no.: %d, error code: %d&#xd;
</extracomment>
        <translation>下载失败, 包序号：%d，错误代码：%d&#xd;
</translation>
    </message>
    <message>
        <source>10415</source>
        <extracomment>Downloading… &#xd;
</extracomment>
        <translation>下载中。。。。&#xd;
</translation>
    </message>
    <message>
        <source>10416</source>
        <extracomment>Download successful! &#xd;
</extracomment>
        <translation>下载成功！&#xd;
</translation>
    </message>
    <message>
        <source>10417</source>
        <extracomment>Size of bin file: %d byte&#xd;
</extracomment>
        <translation>bin文件大小：%d byte&#xd;
</translation>
    </message>
    <message>
        <source>10418</source>
        <extracomment>Checksum: 0x%08x&#xd;
</extracomment>
        <translation>校验和：0x%08x&#xd;
</translation>
    </message>
    <message>
        <source>10419</source>
        <extracomment>Download Progress: %.2f%%&#xd;
</extracomment>
        <translation>下载进度：%.2f%%&#xd;
</translation>
    </message>
    <message>
        <source>10420</source>
        <extracomment>Each pack must be more than 20 byte&#xd;
</extracomment>
        <translation>每个包大小必须大于 20 byte&#xd;
</translation>
    </message>
    <message>
        <source>10421</source>
        <extracomment>Device ID: 0x%x&#xd;
</extracomment>
        <translation>设备ID：0x%x&#xd;
</translation>
    </message>
    <message>
        <source>10422</source>
        <extracomment>Current Firmware: %s</extracomment>
        <translation>当前运行固件: %s</translation>
    </message>
    <message>
        <source>10423</source>
        <extracomment>Device ID: Unknown</extracomment>
        <translation>设备ID: Unknown</translation>
    </message>
    <message>
        <source>10431</source>
        <extracomment>Logon Failed&#xd;
</extracomment>
        <translation>服务器登录失败&#xd;
</translation>
    </message>
    <message>
        <source>10432</source>
        <extracomment>Get Version Failed&#xd;
</extracomment>
        <translation>获取版本信息失败&#xd;
</translation>
    </message>
    <message>
        <source>10433</source>
        <extracomment>Download FW File Failed&#xd;
</extracomment>
        <translation>服务器文件下载失败&#xd;
</translation>
    </message>
    <message>
        <source>10434</source>
        <extracomment>Download Progress: %d, Speed: %.2fKBps</extracomment>
        <translation>下载进度: %d, 速度: %.2fKBps</translation>
    </message>
</context>
<context>
    <name>CVORA_Vestrel_ToolDlg</name>
    <message>
        <source>View/Set Param.</source>
        <extracomment>1187</extracomment>
        <translation>参数查看/设置</translation>
    </message>
    <message>
        <source>Realtime Data</source>
        <extracomment>1188</extracomment>
        <translation>实时数据</translation>
    </message>
    <message>
        <source>Cap./Anlyz. Data</source>
        <extracomment>1189</extracomment>
        <translation>数据采集/分析</translation>
    </message>
    <message>
        <source>Update FW</source>
        <extracomment>1190</extracomment>
        <translation>更新固件</translation>
    </message>
    <message>
        <source>Refresh</source>
        <extracomment>1100</extracomment>
        <translation>刷新</translation>
    </message>
    <message>
        <source>Connect</source>
        <extracomment>1103</extracomment>
        <translation>连接设备</translation>
    </message>
    <message>
        <source>Version：Unknown</source>
        <extracomment>1104</extracomment>
        <translation>版本号：Unknown</translation>
    </message>
    <message>
        <source>Port No.</source>
        <extracomment>label of 1101</extracomment>
        <translation>串口号</translation>
    </message>
    <message>
        <source>BaudRate</source>
        <extracomment>label of 1102</extracomment>
        <translation>波特率</translation>
    </message>
</context>
<context>
    <name>CParamSettingDlg</name>
    <message>
        <source>Max. Range Gate</source>
        <extracomment>label of 2002</extracomment>
        <translation>最大距离门</translation>
    </message>
    <message>
        <source>Absence Report Delay (sec.)</source>
        <extracomment>label of 2003</extracomment>
        <translation>目标消失延迟时间(秒)</translation>
    </message>
    <message>
        <source>Trigger Threshold</source>
        <extracomment>group of 2010 to 2025</extracomment>
        <translation>触发门限</translation>
    </message>
    <message>
        <source>Hold Threshold</source>
        <extracomment>group of 2030 to 2045</extracomment>
        <translation>保持门限</translation>
    </message>
    <message>
        <source>Read Sensor Config</source>
        <extracomment>2070</extracomment>
        <translation>读取传感器设置</translation>
    </message>
    <message>
        <source>Set Sensor Config</source>
        <extracomment>2071</extracomment>
        <translation>写入传感器设置</translation>
    </message>
    <message>
        <source>Load Config File</source>
        <extracomment>2072</extracomment>
        <translation>载入配置文件</translation>
    </message>
    <message>
        <source>Save Config File</source>
        <extracomment>2073</extracomment>
        <translation>保存配置文件</translation>
    </message>
</context>
<context>
    <name>CObjectInfoDlg</name>
    <message>
        <source>Target Range: 0.00m</source>
        <extracomment>3002</extracomment>
        <translation>目标距离: 0.00米</translation>
    </message>
    <message>
        <source>Start</source>
        <extracomment>3003</extracomment>
        <translation>开始</translation>
    </message>
    <message>
        <source>Gen. Thres.</source>
        <extracomment>3004</extracomment>
        <translation>生成门限</translation>
    </message>
</context>
<context>
    <name>CSensingGeneratorDlg</name>
    <message>
        <source>Threshold Generator</source>
        <extracomment>dialog caption</extracomment>
        <translation>门限生成</translation>
    </message>
    <message>
        <source>Trigger Threshold Coefficient:</source>
        <extracomment>label of 3501</extracomment>
        <translation>触发门限生成系数：</translation>
    </message>
    <message>
        <source>Hold Threshold Coefficient:</source>
        <extracomment>label of 3502</extracomment>
        <translation>保持门限生成系数：</translation>
    </message>
    <message>
        <source>Start</source>
        <extracomment>3510</extracomment>
        <translation>开始</translation>
    </message>
    <message>
        <source>Close</source>
        <extracomment>1</extracomment>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>CDataProcessDlg</name>
    <message>
        <source>Scan Duration per RG(s)</source>
        <extracomment>label of 4003</extracomment>
        <translation>距离门扫描时间(秒)</translation>
    </message>
    <message>
        <source>Choose Range Gate</source>
        <extracomment>label of 4010</extracomment>
        <translation>选择显示距离门</translation>
    </message>
    <message>
        <source>Save path:</source>
        <extracomment>label of 4004</extracomment>
        <translation>文件保存路径</translation>
    </message>
    <message>
        <source>...</source>
        <extracomment>4005</extracomment>
        <translation>...</translation>
    </message>
    <message>
        <source>Capture Data</source>
        <extracomment>4011</extracomment>
        <translation>采集数据</translation>
    </message>
    <message>
        <source>Load Data</source>
        <extracomment>4012</extracomment>
        <translation>载入数据</translation>
    </message>
</context>
</TS>
